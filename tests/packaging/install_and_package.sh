#!/usr/bin/env bash
# Installs the build into a scratch prefix and runs the installed program,
# then builds the Debian package, unpacks it and runs the packaged program.
#   install_and_package.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" >/dev/null
"$work/prefix/bin/morvelstrand" --version | grep -q '^morvelstrand [0-9]'
test -f "$work/prefix/share/man/man1/morvelstrand.1"
# The copyright file names the licence and carries its notice whole.
copyright_ok() {
  head -n 1 "$1" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/'
  grep -qx 'Copyright: 2026 the Morvelstrand developers' "$1"
  grep -qx 'License: Expat' "$1"
  grep -qx ' SOFTWARE.' "$1"
  if grep -q '@MORVELSTRAND' "$1"; then return 1; fi
}
copyright_ok "$work/prefix/share/doc/morvelstrand/copyright"
if [ -x "$build/morvelstrand-import" ]; then
  "$work/prefix/bin/morvelstrand-import" --version >/dev/null
  test -f "$work/prefix/share/man/man1/morvelstrand-import.1"
fi

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/deb" >/dev/null)
deb=$(ls "$work"/deb/*.deb)
dpkg-deb -x "$deb" "$work/root"
"$work/root/usr/bin/morvelstrand" --version | grep -q '^morvelstrand [0-9]'
test -f "$work/root/usr/share/man/man1/morvelstrand.1"
copyright_ok "$work/root/usr/share/doc/morvelstrand/copyright"
echo "built $(basename "$deb"): $(dpkg-deb -f "$deb" Depends)"
