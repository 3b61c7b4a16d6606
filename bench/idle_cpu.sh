#!/usr/bin/env bash
# CPU used by a hosting copy at rest (its own player connected, nothing happening) over 10 s.
# Its game announcements stay on this machine (127.0.0.1).
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${1:-build/quillet}
port=$((20000 + RANDOM % 20000))
home=$(mktemp -d)
QT_QPA_PLATFORM=offscreen QUILLET_ANNOUNCE_ADDRESS=127.0.0.1 QUILLET_GAME_PORT=$port QUILLET_LOBBY_PORT=$((port + 1)) \
  QUILLET_INSTANCE=idle-bench-$$ QUILLET_HOME=$home QUILLET_ERRORBOX_LOG=$home/errors.log \
  "$bin" Ann 127.0.0.1 true 2>/dev/null &
pid=$!
trap 'kill $pid 2>/dev/null; rm -rf "$home"' EXIT
sleep 2 # start-up and login settle
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
hz=$(getconf CLK_TCK)
t0=$(ticks); s0=$(date +%s.%N)
sleep 10
t1=$(ticks); s1=$(date +%s.%N)
wakeups=$(grep -E 'voluntary_ctxt_switches' "/proc/$pid/status" | awk '{s+=$2} END {print s}')
awk -v t="$((t1 - t0))" -v hz="$hz" -v a="$s0" -v b="$s1" -v w="$wakeups" \
  'BEGIN { printf "idle hosting copy: %.2f%% of one core over %.1f s (%d context switches since start)\n", 100 * t / hz / (b - a), b - a, w }'
