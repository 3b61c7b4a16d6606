#!/usr/bin/env bash
# Builds the fleet's image of quillet-host from the host-only package, with a build context that
# holds that package alone. Usage: deploy/agones/image.sh TAG [BUILD_DIR] [-- BUILD_OPTIONS...]
# The tool is podman, or docker when there is no podman (QUILLET_IMAGE_TOOL names another).
set -euo pipefail
tag=${1:?usage: image.sh TAG [BUILD_DIR] [-- BUILD_OPTIONS...]}
shift
build=build
if [ $# -gt 0 ] && [ "$1" != -- ]; then build=$1; shift; fi
[ "${1:-}" = -- ] && shift
here=$(cd "$(dirname "$0")" && pwd)
config=$(cd "$build" && pwd)/CPackConfig.cmake
tool=${QUILLET_IMAGE_TOOL:-$(command -v podman || command -v docker || echo podman)}
context=$(mktemp -d)
trap 'rm -rf "$context"' EXIT
# Only the host's package: the desktop game need not be built for it.
(cd "$context" && cpack -G DEB -D CPACK_COMPONENTS_ALL=host --config "$config" >/dev/null)
find "$context" -mindepth 1 -maxdepth 1 ! -name 'quillet-host_*.deb' -exec rm -rf {} +
ls "$context"/quillet-host_*.deb >/dev/null
"$tool" build -f "$here/Containerfile" -t "$tag" "$@" "$context"
