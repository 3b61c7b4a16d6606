#!/usr/bin/env bash
# Checks the installed layout: check_install.sh files|readonly|snapshots|deb BUILD_DIR
set -euo pipefail
mode=$1
build=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

install_to() { cmake --install "$build" --prefix "$1" >/dev/null; }

case $mode in
files)
  install_to "$work/p"
  for f in bin/quillet share/applications/quillet.desktop share/metainfo/com.orvanesoftware.Quillet.metainfo.xml \
           share/icons/hicolor/{48x48,128x128,256x256}/apps/quillet.png; do
    [ -e "$work/p/$f" ] || fail "missing $f"
  done
  [ -x "$work/p/bin/quillet" ] || fail "bin/quillet is not executable"
  compgen -G "$work/p/lib*/quillet/quillet-sound.so" >/dev/null || fail "missing the sound module"
  for size in 48 128 256; do
    got=$(identify -format '%wx%h' "$work/p/share/icons/hicolor/${size}x${size}/apps/quillet.png")
    [ "$got" = "${size}x${size}" ] || fail "icon ${size}: $got"
  done
  desktop-file-validate "$work/p/share/applications/quillet.desktop"
  # A game link clicked elsewhere opens the game: the scheme is registered and the link passed on.
  grep -qx 'Exec=quillet %u' "$work/p/share/applications/quillet.desktop" || fail "Exec line"
  grep -qx 'MimeType=x-scheme-handler/quillet;' "$work/p/share/applications/quillet.desktop" || fail "MimeType line"
  grep -qx 'Categories=Game;BoardGame;' "$work/p/share/applications/quillet.desktop" || fail "Categories line"
  appstreamcli validate --no-net "$work/p/share/metainfo/com.orvanesoftware.Quillet.metainfo.xml"
  ;;
readonly)
  # An installed copy in a folder it cannot write keeps its settings in the player's folders.
  install_to "$work/p"
  chmod -R a-w "$work/p"
  home=$work/home
  mkdir -p "$home/.config/quillet"
  # A width below the window's minimum: the window grows, so closing has a new placement to save.
  printf '[Quillet]\r\nWidth=100\r\nTextsize=11\r\n' >"$home/.config/quillet/orvanelobby.ini"
  port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
  # A sound server's socket that nobody answers: the first cue loads the installed sound module.
  mkdir -p -m 700 "$work/run/pulse"
  touch "$work/run/pulse/native"
  echo 'autospawn = no' >"$work/client.conf"
  env -u QUILLET_HOME -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u PULSE_SERVER -u PULSE_RUNTIME_PATH \
    HOME="$home" QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/run" PULSE_CLIENTCONFIG="$work/client.conf" \
    QUILLET_GAME_PORT="$port" QUILLET_INSTANCE="install-$$" QUILLET_ERRORBOX_LOG="$work/errors.log" \
    "$work/p/bin/quillet" >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 50); do
    grep -qi ":$(printf '%04X' "$port") 00000000:0000 0A" /proc/net/tcp && break
    sleep 0.2
  done
  sleep 1
  for _ in $(seq 20); do
    grep -q "$work/p/lib.*/quillet/quillet-sound.so" /proc/$pid/maps && break
    sleep 0.2
  done
  grep -q "$work/p/lib.*/quillet/quillet-sound.so" /proc/$pid/maps || { kill $pid; fail "the sound module was not loaded"; }
  kill -TERM $pid
  wait $pid || fail "the program did not end cleanly on SIGTERM"
  ini=$home/.config/quillet/orvanelobby.ini
  grep -q '^Width=[0-9]\{3,\}' "$ini" || fail "settings not written to $ini: $(cat "$ini")"
  grep -q '^Textsize=11' "$ini" || fail "settings not read from $ini"
  [ -z "$(find "$work/p" -name '*.ini')" ] || fail "settings written into the install folder"
  [ ! -s "$work/errors.log" ] || fail "error boxes: $(cat "$work/errors.log")"
  ;;
snapshots)
  # A player of an installed copy takes a snapshot on a first run: none of the data folders exist.
  install_to "$work/p"
  cp "$QUILLET_SNAPSHOT_PROBE" "$work/p/bin/"
  home=$work/home
  mkdir -p "$home"
  out=$(env -u QUILLET_HOME -u XDG_CONFIG_HOME -u XDG_DATA_HOME HOME="$home" QT_QPA_PLATFORM=offscreen \
    "$work/p/bin/$(basename "$QUILLET_SNAPSHOT_PROBE")") || fail "the snapshot was not saved: $out"
  shot=$home/.local/share/quillet/snapshots/snapshot1.jpg
  [ -s "$shot" ] || fail "no $shot"
  [ "$(identify -format '%m' "$shot")" = JPEG ] || fail "not a JPEG picture: $shot"
  grep -qx '0+Snapshot saved as snapshot1.jpg.' <<<"$out" || fail "no chat line: $out"
  [ -z "$(find "$work/p" -name '*.jpg')" ] || fail "snapshot written into the install folder"
  ;;
deb)
  (cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" >/dev/null)
  deb=$(ls "$work"/quillet_*.deb)
  contents=$(dpkg-deb --contents "$deb")
  for f in ./usr/bin/quillet ./usr/lib/quillet/quillet-sound.so ./usr/share/applications/quillet.desktop \
           ./usr/share/metainfo/com.orvanesoftware.Quillet.metainfo.xml ./usr/share/icons/hicolor/256x256/apps/quillet.png; do
    grep -q " $f\$" <<<"$contents" || fail "package lacks $f"
  done
  # One version: the package's and the metainfo's newest release (the About window shows the same).
  version=$(dpkg-deb --field "$deb" Version)
  dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/metainfo/com.orvanesoftware.Quillet.metainfo.xml |
    grep -q "<release version=\"$version\"" || fail "the metainfo's release is not $version"
  depends=$(dpkg-deb --field "$deb" Depends)
  for d in libqt6widgets6 libqt6network6 libqt6multimedia6 libjpeg62-turbo libminiupnpc17; do
    grep -q "$d" <<<"$depends" || fail "Depends lacks $d: $depends"
  done
  # The dedicated host's own package: the program alone, depending on what it links and no more.
  host=$(ls "$work"/quillet-host_*.deb)
  files=$(dpkg-deb --contents "$host" | awk '$1 !~ /^d/ {print $6}')
  [ "$files" = ./usr/bin/quillet-host ] || fail "quillet-host's package holds: $files"
  ! grep -q ' ./usr/bin/quillet-host$' <<<"$contents" || fail "the desktop package holds quillet-host too"
  depends=$(dpkg-deb --field "$host" Depends)
  mkdir "$work/host"
  dpkg-deb -x "$host" "$work/host"
  for lib in $(objdump -p "$work/host/usr/bin/quillet-host" | awk '$1 == "NEEDED" {print $2}'); do
    # The native library's package: libm.so.6 is also in libc6-i386's /lib32.
    pkg=$(dpkg -S "*/$lib" 2>/dev/null | grep "/$(uname -m)-linux-gnu/" | head -1 | cut -d: -f1)
    grep -q "\b${pkg}\b" <<<"$depends" || fail "quillet-host needs $lib ($pkg), not in Depends: $depends"
  done
  for d in libqt6gui6 libqt6widgets6 libqt6multimedia6 qt6-qpa-plugins; do
    ! grep -q "$d" <<<"$depends" || fail "quillet-host depends on $d"
  done
  ;;
*) fail "unknown mode $mode" ;;
esac
echo "ok: $mode"
