#!/usr/bin/env bash
# Pictures of the main window at six moments of a game (before login, a pick, drawing, guessing,
# a break, a win) and every byte it sent, against a stand-in host on loopback, under a private X
# server. Run it before and after a change to the player side and compare the two folders:
#   tools/states.sh /tmp/before; ...; tools/states.sh /tmp/after; diff -r /tmp/before /tmp/after
# With a size (tools/states.sh OUTDIR 1920x1080) the window fills a screen of that size, as a
# maximised one does.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:?usage: tools/states.sh OUTDIR [WIDTHxHEIGHT]}
size=${2:-}
tools/setup.sh
cmake -S . -B build-tools -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLET_TESTS=OFF -DQUILLET_TOOLS=ON >/dev/null
cmake --build build-tools -j"$(nproc)" --target window_states
tmp=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 "${size:-1024x768}x24" -nolisten tcp 3>"$tmp/display" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$tmp"' EXIT
for _ in $(seq 50); do [ -s "$tmp/display" ] && break; sleep 0.1; done
DISPLAY=:$(cat "$tmp/display") QT_QPA_PLATFORM=xcb build-tools/tools/states/window_states "$out" $size
ls "$out"
