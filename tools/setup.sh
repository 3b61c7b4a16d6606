#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, when any is missing.
set -euo pipefail
packages=(cmake g++ make qt6-base-dev qt6-multimedia-dev libjpeg62-turbo-dev xvfb xauth xdotool
          imagemagick fonts-liberation fonts-dejavu-core netbase
          desktop-file-utils appstream ccache ninja-build lld libminiupnpc-dev python3-yaml
          qt6-websockets-dev)
# The sanitized build and the fuzz targets: clang, its sanitizer and libFuzzer runtimes, and the
# symbolizer that puts file and line into reports.
[ "${1:-}" = sanitizers ] && packages+=(clang libclang-rt-dev llvm)
# The browser page's tests: Node for its modules, Debian's chromium driven from npm.
# A Node that came with its own npm (not Debian's) stays: Debian's npm conflicts with it.
packages+=(chromium)
command -v node >/dev/null || packages+=(nodejs)
command -v npm >/dev/null || packages+=(npm)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The page's end-to-end tests drive chromium with the npm package the lock file names.
web="$(dirname "$0")/../tests/web"
if [ ! -d "$web/node_modules/playwright-core" ] || [ "$web/package-lock.json" -nt "$web/node_modules/.package-lock.json" ]; then
  (cd "$web" && npm ci --no-audit --no-fund --loglevel=error)
fi
