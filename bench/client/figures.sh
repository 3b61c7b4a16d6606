#!/usr/bin/env bash
# Figures of the player side: one turn message's dispatch (QBENCHMARK), the time from start to
# the main window on screen, and the resident memory of a copy at rest.
# Usage: bench/client/figures.sh [build-dir]   (needs Xvfb and xdotool; builds with -DQUILLET_BENCH=ON)
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${1:-$root/build}"
cmake -S "$root" -B "$build" -DQUILLET_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target quillet bench_client_dispatch >/dev/null

echo "== dispatch of one message (offscreen)"
QT_QPA_PLATFORM=offscreen "$build/bench/client/bench_client_dispatch" 2>&1 | grep -A1 '^RESULT' |
  awk '/^RESULT/ {name=$3} /per iteration/ {printf "  %-40s %8.1f us\n", name, $1 * 1000}'

display=":$((RANDOM % 400 + 200))"
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
home="$(mktemp -d)"
trap 'kill $xvfb 2>/dev/null; rm -rf "$home"' EXIT
for _ in $(seq 100); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.05; done
export DISPLAY="$display" QUILLET_HOME="$home" QUILLET_INSTANCE="figures$$"
export QUILLET_GAME_PORT=$((20000 + RANDOM % 20000)) QUILLET_LOBBY_PORT=$((40000 + RANDOM % 20000))
export QUILLET_ERRORBOX_LOG="$home/boxes.log"
# The hosting copies announce their games to this machine only.
export QUILLET_ANNOUNCE_ADDRESS=127.0.0.1

echo "== start to window shown (Xvfb, hosting copy)"
for run in 1 2 3; do
  start=$(date +%s%N)
  "$build/quillet" Ann 127.0.0.1 true >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 2000); do
    xdotool search --onlyvisible --name '^Quillet - Orvane Software$' >/dev/null 2>&1 && break
    kill -0 "$pid" 2>/dev/null || { echo "  the program ended before its window showed"; exit 1; }
    sleep 0.005
  done
  shown=$(date +%s%N)
  printf "  run %d: %6.1f ms\n" "$run" "$(echo "($shown - $start) / 1000000" | bc -l)"
  if [ "$run" = 3 ]; then
    sleep 3
    printf "== resident memory at rest: %s\n" "$(awk '/VmRSS/ {printf "%.1f MB", $2 / 1024}' /proc/$pid/status)"
  fi
  kill "$pid"; wait "$pid" 2>/dev/null || true
done
