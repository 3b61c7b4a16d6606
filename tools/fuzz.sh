#!/usr/bin/env bash
# Runs a fuzz target from tests/fuzz/ (built in build-asan/ by tools/configure-asan.sh).
#   tools/fuzz.sh TARGET [SECONDS]   one target; without SECONDS until stopped
#   tools/fuzz.sh all SECONDS        every target in turn (CI)
# New inputs go to build-asan/fuzz/corpus/TARGET; an input that fails is written to
# build-asan/fuzz/TARGET-crash-* (add it to tests/fuzz/corpus/TARGET together with its fix).
# Any crash, sanitizer report, input taking over 2 s or memory over 512 MB fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -ge 1 ] || { echo "usage: tools/fuzz.sh TARGET|all [SECONDS]" >&2; exit 2; }
all=(fuzz_framing fuzz_fields fuzz_host fuzz_player fuzz_settings fuzz_stroke fuzz_webrequest)
targets=("$1")
[ "$1" = all ] && targets=("${all[@]}")
seconds="${2:-0}"
tools/setup.sh sanitizers
source tools/sanitizer-env.sh
export QT_QPA_PLATFORM=offscreen
# Memory held by the sanitizer: a 32 MB quarantine of freed memory, and allocation and free
# stacks of 2 frames (the store of distinct stacks grows for good with their depth). Measured on
# fuzz_player when it still built a whole main window per input, on a busy 2-core machine:
# 25,424 runs in 961 s, peak RSS 142 MB, growing about 0.25 KB per run after the first 3,000.
# With the former options (quarantine 64 MB, 30-frame stacks) it held 205 MB after 980 runs and
# grew 35-50 KB per run, which ran into the 512 MB limit within minutes on a faster machine. To
# see full stacks for a failing input, run it alone in the sanitized suite's setting:
#   source tools/sanitizer-env.sh; build-asan/tests/fuzz/TARGET build-asan/fuzz/TARGET-crash-...
export ASAN_OPTIONS="$ASAN_OPTIONS:quarantine_size_mb=32:malloc_context_size=2"

[ -f build-asan/CMakeCache.txt ] || tools/configure-asan.sh
build=()
for t in "${targets[@]}"; do build+=(--target "$t"); done
cmake --build build-asan -j"$(nproc)" "${build[@]}"

for t in "${targets[@]}"; do
  work="build-asan/fuzz/corpus/$t"
  mkdir -p "$work"
  maxlen=4096 # one message
  case "$t" in fuzz_host | fuzz_player | fuzz_settings) maxlen=16384 ;; esac
  echo "== $t"
  log="build-asan/fuzz/$t.log"
  if ! build-asan/tests/fuzz/"$t" "$work" "tests/fuzz/corpus/$t" -dict=tests/fuzz/protocol.dict \
      -max_total_time="$seconds" -timeout=2 -rss_limit_mb=512 -max_len="$maxlen" \
      -artifact_prefix="build-asan/fuzz/$t-" -print_final_stats=1 >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "FAILED: $t (input in build-asan/fuzz/$t-*)" >&2
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  time=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log")
  echo "$t: $runs runs in ${time:-$seconds} s, $(( runs / (${time:-$seconds} > 0 ? ${time:-$seconds} : 1) )) per second, $(sed -n 's/^stat::peak_rss_mb: *//p' "$log") MB peak"
done
