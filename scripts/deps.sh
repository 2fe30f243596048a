#!/bin/sh
# Installs the Debian 12 packages the build and the tests need. Installs only
# what is missing, so a second run does nothing; uses sudo when not root.
set -eu

PACKAGES="cmake ninja-build g++ pkg-config ccache
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
  libsqlite3-dev liblua5.4-dev libzip-dev libcurl4-openssl-dev pxlib-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth fonts-dejavu-core fonts-liberation2
  poppler-utils cups printer-driver-cups-pdf"

missing=""
for p in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
if [ -n "$missing" ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  echo "Installerer:$missing"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
fi

# The postal register the program's Postnr.num is made from.
"$(dirname "$0")/fetch-postal-register.sh"
