#!/usr/bin/env bash
# A scripted game of 14 players on quillet-host, its random source fixed, and every byte each
# player received. Run it before and after a change to the host and compare the two folders:
#   tools/samegame.sh /tmp/before; ...; tools/samegame.sh /tmp/after; diff -r /tmp/before /tmp/after
# With "short" after the folder, a short team game with letter hints instead (about two minutes).
# The host listens on a free loopback port and announces nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:?usage: tools/samegame.sh OUTDIR [short]}
script=${2:-}
tools/setup.sh
cmake -S . -B build-tools -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLET_TESTS=OFF -DQUILLET_TOOLS=ON >/dev/null
cmake --build build-tools -j"$(nproc)" --target quillet-host samegame
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
log=$(mktemp)
QUILLET_HOST_SEED=20261208 QUILLET_WEB_PORT=0 build-tools/quillet-host --port "$port" --no-announce >"$log" &
host=$!
trap 'kill $host 2>/dev/null || true; rm -f "$log"' EXIT
for _ in $(seq 100); do
  grep -q '^.*Listening on port' "$log" && break
  sleep 0.1
done
build-tools/tools/samegame/samegame "$port" "$out" ${script:+"$script"}
