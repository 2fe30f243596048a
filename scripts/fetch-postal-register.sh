#!/bin/sh
# Fetches the Norwegian postal register (5,132 postal codes with their places)
# from the npm package norway-postal-codes (MIT) into .deps/, once. The build
# turns it into the program's Postnr.num.
#
# Without the npm registry (no network, a proxy, a certificate the machine
# does not trust) the register is given by hand in LAGRULL_POSTAL_REGISTER,
# as an environment or a make variable:
#   - the package itself (norway-postal-codes-3.3.0.tgz, from `npm pack` on
#     another machine): unpacked here as if fetched;
#   - postal-codes-simple.js from that package, or the postal service's
#     tab-separated register: the build reads that file directly.
# A failed download says what failed and exits non-zero.
set -eu
cd "$(dirname "$0")/.."
PACKAGE=norway-postal-codes
VERSION=3.3.0
DEST=.deps/$PACKAGE-$VERSION
REGISTER=converted/postal-codes-simple.js

unpack() {  # unpack TARBALL: the package's files into $DEST
  rm -rf "$DEST"
  mkdir -p "$DEST"
  if ! tar -xzf "$1" -C "$DEST" --strip-components=1 || [ ! -f "$DEST/$REGISTER" ]; then
    rm -rf "$DEST"
    echo "Feil: $1 er ikke pakken $PACKAGE@$VERSION (fant ikke $REGISTER i den)." >&2
    exit 1
  fi
}

given=${LAGRULL_POSTAL_REGISTER:-}
if [ -n "$given" ]; then
  if [ ! -f "$given" ]; then
    echo "Feil: LAGRULL_POSTAL_REGISTER=$given finnes ikke." >&2
    exit 1
  fi
  case "$given" in
    *.tgz | *.tar.gz) unpack "$given" ;;
  esac
  exit 0  # a register file is read by the build where it lies
fi

[ -f "$DEST/$REGISTER" ] && exit 0
command -v npm >/dev/null 2>&1 || ./scripts/apt-install.sh npm

TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
echo "Henter postnummerregisteret (npm-pakken $PACKAGE@$VERSION)"
if ! (cd "$TMP" && npm pack --loglevel=error "$PACKAGE@$VERSION" >/dev/null 2>npm-feil.txt); then
  {
    echo "Feil: kunne ikke hente postnummerregisteret, npm-pakken $PACKAGE@$VERSION"
    echo "fra $(npm config get registry). npm sa:"
    # npm's own lines without its stack trace and error-object dump
    grep -E '^npm (error|ERR!)' "$TMP/npm-feil.txt" |
      grep -v -E '^npm (error|ERR!) *(at |[a-z]+: |}|$)|\{$' | sed 's/^/  /' | head -8
    echo "Sjekk nett, mellomtjener (npm config set proxy ...) og sertifikater, eller gi"
    echo "registeret for hånd: hent pakken der npm når fram (npm pack $PACKAGE@$VERSION)"
    echo "og oppgi fila, eller oppgi Postens tabulatordelte postnummerregister:"
    echo "  make test LAGRULL_POSTAL_REGISTER=/sti/til/$PACKAGE-$VERSION.tgz"
  } >&2
  exit 1
fi
unpack "$TMP/$PACKAGE-$VERSION.tgz"
