#!/bin/sh
# compare-with-writer.sh [BREV.rtf ...]: sets each letter (by default those
# in tests/data/letters) with "lagrul-cli pdf" and with LibreOffice Writer's
# headless PDF conversion, and compares the two PDFs: page count, the words
# on every page, and the baselines of the first 40 words of page 1 within
# 1.5 pt (scripts/compare_pdf_words.py). A developer's tool, not part of CI;
# it installs LibreOffice Writer and poppler-utils when they are missing.
# LAGRUL_CLI names the lagrul-cli to run (default build/src/cli/lagrul-cli).
# Exits 1 when any letter differs.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
cli=${LAGRUL_CLI:-$root/build/src/cli/lagrul-cli}
[ -x "$cli" ] || { echo "Fant ikke $cli: bygg lagrul-cli først." >&2; exit 2; }
"$here/apt-install.sh" libreoffice-writer poppler-utils

[ $# -gt 0 ] || set -- "$root"/tests/data/letters/*.rtf
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/lagrull" "$work/writer"

status=0
for rtf in "$@"; do
  name=$(basename "$rtf" .rtf)
  QT_QPA_PLATFORM=offscreen "$cli" pdf "$rtf" "$work/lagrull/$name.pdf" >/dev/null
  # a profile of its own, so a running LibreOffice does not take the job
  soffice "-env:UserInstallation=file://$work/profil" --headless --convert-to pdf \
    --outdir "$work/writer" "$rtf" >/dev/null 2>&1
  if [ ! -f "$work/writer/$name.pdf" ]; then
    echo "$name: Writer skrev ingen PDF" >&2
    status=1
    continue
  fi
  python3 "$here/compare_pdf_words.py" "$work/lagrull/$name.pdf" "$work/writer/$name.pdf" "$name" ||
    status=1
done
exit $status
