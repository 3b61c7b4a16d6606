#!/usr/bin/env bash
# Builds Quillet and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh
tools/build.sh
cd build
ctest --output-on-failure -j2 "$@"
