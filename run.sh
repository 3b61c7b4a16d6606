#!/usr/bin/env bash
# Builds and starts Quillet.
#   ./run.sh                      a solo game
#   ./run.sh Ann 127.0.0.1 true   host a game as Ann
#   ./run.sh Zed HOST x           join the game hosted at HOST as Zed
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh
tools/build.sh quillet
exec build/quillet "$@"
