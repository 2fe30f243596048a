#!/bin/sh
# Installs the Debian 12 packages the build and the tests need (only those
# missing, so a second run does nothing) and fetches the postal register.
set -eu
cd "$(dirname "$0")"

./apt-install.sh cmake ninja-build g++ pkg-config ccache \
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n \
  libsqlite3-dev liblua5.4-dev libzip-dev libcurl4-openssl-dev pxlib-dev \
  libgtest-dev libgmock-dev libbenchmark-dev \
  xvfb xauth fonts-dejavu-core fonts-liberation2 fonts-ocr-b \
  poppler-utils cups printer-driver-cups-pdf

# The postal register the program's Postnr.num is made from.
./fetch-postal-register.sh
