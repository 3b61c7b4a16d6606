#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/ (clang,
# through ccache) and runs the whole suite there; any sanitizer report fails its test. Arguments
# go to ctest. The same folder holds the fuzz targets (tools/fuzz.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh sanitizers
source tools/sanitizer-env.sh
tools/configure-asan.sh
cmake --build build-asan -j"$(nproc)"
cd build-asan
ctest --output-on-failure -j2 "$@"
