#!/usr/bin/env bash
# Redraws docs/screenshot.png: a game in progress, the drawer's window beside a guesser's, on a
# virtual screen (Xvfb). Usage: tools/screenshot.sh [OUTPUT.png]
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/screenshot.png}
tools/setup.sh
cmake -S . -B build-tools -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLET_TESTS=OFF -DQUILLET_TOOLS=ON >/dev/null
cmake --build build-tools -j"$(nproc)" --target game_screenshot
mkdir -p "$(dirname "$out")"
tmp=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1610x600x24 -nolisten tcp 3>"$tmp/display" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $game $xvfb 2>/dev/null || true; rm -rf "$tmp"' EXIT
game=
for _ in $(seq 50); do [ -s "$tmp/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$tmp/display")
QUILLET_HOME="$tmp" QUILLET_ANNOUNCE_ADDRESS=127.0.0.1 QT_QPA_PLATFORM=xcb build-tools/tools/screenshot/game_screenshot >"$tmp/out" 2>/dev/null &
game=$!
for _ in $(seq 300); do grep -q ready "$tmp/out" 2>/dev/null && break; sleep 0.1; done
import -window root "$out"
echo "wrote $out"
