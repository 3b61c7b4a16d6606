#!/usr/bin/env bash
# Configures and builds into build/. Arguments name the targets to build (all when none).
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/generator.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build build -j"$(nproc)" "${targets[@]}"
