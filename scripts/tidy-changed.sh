#!/bin/sh
# tidy-changed.sh BUILD [BASE]: runs clang-tidy (.clang-tidy: bug-prone
# patterns and performance, findings are errors) on the C++ files changed
# since BASE, compiled as in BUILD's compile_commands.json.
#
# What "changed" means, also on a fresh clone: the files that differ between
# BASE and HEAD, where BASE is the second argument, else LAGRULL_TIDY_BASE
# (a CI that knows its last green commit sets it), else HEAD~1 -- the commit
# under test, or for a merge commit everything the merge brought into main.
# Without that commit (a shallow clone of depth 1, the first commit) every
# file is checked. A changed header is checked through the sources that
# include it by the same name (x.h with x.cpp) and through HeaderFilterRegex.
set -eu
cd "$(dirname "$0")/.."
BUILD=${1:?"Bruk: scripts/tidy-changed.sh BYGGEMAPPE [GRUNNLAG]"}
BASE=${2:-${LAGRULL_TIDY_BASE:-HEAD~1}}
DB="$BUILD/compile_commands.json"
[ -f "$DB" ] || { echo "Fant ikke $DB: konfigurer først (make configure)." >&2; exit 1; }
command -v clang-tidy >/dev/null 2>&1 || {
  echo "clang-tidy mangler (apt-get install clang-tidy)" >&2
  exit 1
}

if git rev-parse -q --verify "$BASE^{commit}" >/dev/null; then
  changed=$(git diff --name-only --diff-filter=d "$BASE" HEAD -- '*.cpp' '*.h')
  echo "clang-tidy: filer endret siden $BASE"
else
  changed=$(git ls-files '*.cpp' '*.h')
  echo "clang-tidy: $BASE finnes ikke i denne klonen; sjekker alle filer"
fi

# The sources to run on: changed .cpp files and the .cpp beside a changed
# header, as far as this build compiles them (a GUI-off build has no windows).
sources=""
for f in $changed; do
  case "$f" in *.h) src="${f%.h}.cpp" ;; *) src="$f" ;; esac
  [ -f "$src" ] || continue
  grep -q "\"file\": \"$PWD/$src\"" "$DB" || continue
  case " $sources " in *" $src "*) ;; *) sources="$sources $src" ;; esac
done
if [ -z "$sources" ]; then
  echo "clang-tidy: ingen endrede C++-kilder å sjekke."
  exit 0
fi
echo "clang-tidy:$sources"
# shellcheck disable=SC2086 # one argument per file name
# Findings in our own headers count; those in generated ones (moc output
# under the build tree) and in system headers do not.
printf '%s\n' $sources |
  xargs -P 2 -n 4 clang-tidy -p "$BUILD" --quiet --header-filter="^$PWD/(src|tests|bench)/"
