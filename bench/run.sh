#!/usr/bin/env bash
# Builds the benchmarks in build-bench/ and runs them all.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DQUILLET_BENCH=ON -DQUILLET_TESTS=OFF >/dev/null
cmake --build build-bench -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
# Hosting copies announce their games to this machine only.
export QUILLET_ANNOUNCE_ADDRESS=127.0.0.1
for b in $(find build-bench/bench -type f -executable -name 'bench_*' | sort); do
  echo "== $(basename "$b")"
  "$b" -minimumvalue 20 2>&1 | grep -E 'RESULT|msecs|usecs|nsecs|^  *[0-9]|PASS|FAIL|figure' || true
done
for s in bench/*.sh; do
  [ "$s" = bench/run.sh ] && continue
  echo "== $(basename "$s")"
  "$s" build-bench/quillet
done
