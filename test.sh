#!/usr/bin/env bash
# Builds Quillet and runs the whole test suite. Arguments go to ctest.
#   ./test.sh --ci   also the sanitized suite (tools/sanitized.sh) and every fuzz target for 20 s
set -euo pipefail
cd "$(dirname "$0")"
ci=false
[ "${1:-}" = --ci ] && ci=true && shift
tools/setup.sh
tools/build.sh
(cd build && ctest --output-on-failure -j2 "$@")
if $ci; then
  tools/sanitized.sh "$@"
  tools/fuzz.sh all 20
fi
