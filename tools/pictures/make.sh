#!/bin/sh
# Builds the picture generator outside the source tree and redraws every
# picture in assets/pictures. Extra arguments go to the generator, e.g.
#   tools/pictures/make.sh --contact /tmp/contact.png
set -e
here=$(cd "$(dirname "$0")" && pwd)
build=${TMPDIR:-/tmp}/quillet-pictures-build
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2
QT_QPA_PLATFORM=offscreen "$build/make_pictures" "$here/../../assets/pictures" "$@"
