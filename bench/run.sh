#!/usr/bin/env bash
# Builds the benchmarks in build-bench/ and runs them all. Ends with a non-zero status naming every
# benchmark that failed (a failed check, a crash, a time-out inside the benchmark).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DQUILLET_BENCH=ON -DQUILLET_TESTS=OFF >/dev/null
cmake --build build-bench -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
# A benchmark that hosts never announces beyond this machine nor looks for a router.
export QUILLET_ANNOUNCE_ADDRESS=127.0.0.1 QUILLET_IGD_URL=http://127.0.0.1:9/rootDesc.xml
log=$(mktemp)
all=$(mktemp)
trap 'rm -f "$log" "$all"' EXIT
failed=()
# Runs one benchmark, shows the lines worth reading and, when it failed, its last lines too.
run() {
  local name=$1 filter=$2 rc=0
  shift 2
  echo "== $name"
  "$@" >"$log" 2>&1 || rc=$?
  grep -E "$filter" "$log" || true
  cat "$log" >>"$all"
  if [ "$rc" -ne 0 ]; then
    echo "-- $name failed with status $rc; its last lines:"
    tail -n 15 "$log"
    failed+=("$name")
  fi
}
for b in $(find build-bench/bench -type f -executable -name 'bench_*' | sort); do
  run "$(basename "$b")" 'RESULT|msecs|usecs|nsecs|^  *[0-9]|PASS|FAIL|figure' "$b" -minimumvalue 20
done
for s in bench/*.sh; do
  [ "$s" = bench/run.sh ] && continue
  run "$(basename "$s")" '.' "$s" build-bench/quillet
done
# The browser page against build-bench's programs, in Debian's chromium beside a desktop copy.
run bench_web 'figure|  ' node bench/web/bench.mjs build-bench
# The figures the README's performance table gives, each beside its floor.
echo "== the performance table's figures"
grep -E "the flush over every point at once|stroke messages on the host.s queue, flush|chat line through a hosting copy|bare echo|chat over its floor|processor time a chat line|resident at rest|memory over its floor|goals|replay.s processor time|login and replay" "$all" |
  sed -E 's/^QINFO *: [^ ]* //' || true
if [ ${#failed[@]} -gt 0 ]; then
  echo "Benchmarks that failed: ${failed[*]}" >&2
  exit 1
fi
echo "All benchmarks passed."
