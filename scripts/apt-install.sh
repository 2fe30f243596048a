#!/bin/sh
# apt-install.sh PACKAGE...: installs those of the Debian packages that are
# missing, after a fresh package list, and does nothing when all are there.
# Uses sudo when not run as root; debconf asks no questions either way (the
# variable goes through sudo by env, since sudo resets the environment).
set -eu

missing=""
for p in "$@"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
[ -n "$missing" ] || exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installerer:$missing"
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -qq
# shellcheck disable=SC2086 # the list is split into package names on purpose
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
