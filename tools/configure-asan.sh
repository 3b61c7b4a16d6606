#!/usr/bin/env bash
# Configures build-asan/: the sanitized build, with clang so that the fuzz targets can join it.
# Optimised lightly, with line tables only: quick to build, and reports still name file and line.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/generator.sh
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Sanitize -DCMAKE_CXX_FLAGS_SANITIZE="-O1 -gline-tables-only" \
  -DCMAKE_CXX_COMPILER=clang++ -DQUILLET_SANITIZE=ON >/dev/null
