#!/usr/bin/env bash
# A long game under load: the hosting program against 14 scripted players over loopback.
# Usage: bench/load/run_load.sh [SECONDS=600] [--dedicated]   (builds load_game in build-bench/)
# With --dedicated the players play on quillet-host and their score panels are checked.
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DQUILLET_BENCH=ON -DQUILLET_TESTS=OFF >/dev/null
cmake --build build-bench -j"$(nproc)" --target load_game >/dev/null
# The hosting program announces its game to this machine only.
QUILLET_ANNOUNCE_ADDRESS=127.0.0.1 build-bench/bench/load/load_game "${1:-600}" ${2:+"$2"}
