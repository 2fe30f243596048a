#!/bin/sh
# Checks every C++ file of the repository against .clang-format and names
# each line the formatter would change; exits non-zero when there is one.
# Fix with: clang-format -i FILE (the files are listed by git, so build
# trees and .deps/ are left alone).
set -eu
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null 2>&1 || {
  echo "clang-format mangler (apt-get install clang-format)" >&2
  exit 1
}
files=$(git ls-files '*.cpp' '*.h')
# shellcheck disable=SC2086 # one argument per file name; ours have no blanks
if ! clang-format --dry-run --Werror $files; then
  echo "Uformatert C++ over: kjør clang-format -i på filene." >&2
  exit 1
fi
echo "Formatering: $(echo "$files" | wc -l) C++-filer i orden."
