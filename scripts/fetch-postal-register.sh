#!/bin/sh
# Fetches the Norwegian postal register (5,132 postal codes with their places)
# from the npm package norway-postal-codes (MIT) into .deps/, once. The build
# turns it into the program's Postnr.num.
set -eu
cd "$(dirname "$0")/.."
VERSION=3.3.0
DEST=.deps/norway-postal-codes-$VERSION
[ -f "$DEST/converted/postal-codes-simple.js" ] && exit 0
if ! command -v npm >/dev/null 2>&1; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get install -y -qq npm
fi
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
(cd "$TMP" && npm pack --silent "norway-postal-codes@$VERSION" >/dev/null)
mkdir -p "$DEST"
tar -xzf "$TMP"/norway-postal-codes-$VERSION.tgz -C "$DEST" --strip-components=1
test -f "$DEST/converted/postal-codes-simple.js"
