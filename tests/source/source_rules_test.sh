#!/usr/bin/env bash
# The source rules of the project, checked over the source tree given as $1:
# - Qt headers are included only under toolkit/platform/ and in imaging's platform image file, so
#   that the application, the toolkit's core, imaging and the runtime stay plain C++;
# - every C++ source (layers, tests, benchmarks, fuzz targets) is formatted as .clang-format says,
#   by clang-format-14.
# Prints each offending file and exits 1; exits 0 when every rule holds.
set -uo pipefail
root=${1:?usage: source_rules_test.sh <source folder>}
cd "$root" || exit 1

status=0

layer_sources() {
  find app toolkit runtime imaging -type f \( -name '*.cpp' -o -name '*.h' \) 2> /dev/null | sort
}

# An include of a Qt header: <QWidget>, <QtCore/QObject>, <qglobal.h>, or the same in quotes.
qt_include='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](Qt[A-Za-z0-9]*/|Q[A-Za-z0-9]+[>".]|q[a-z0-9_]+\.h[>"])'
while IFS= read -r file; do
  case "$file" in
    toolkit/platform/* | imaging/platform_image.cpp) continue ;;
  esac
  if grep -Eq "$qt_include" "$file"; then
    echo "Qt header included outside the platform code: $file"
    grep -En "$qt_include" "$file" | sed 's/^/    /'
    status=1
  fi
done < <(layer_sources)

formatter=clang-format-14
if ! command -v "$formatter" > /dev/null; then
  echo "$formatter is missing: install it (scripts/setup does) to check the formatting"
  exit 1
fi
mapfile -t sources < <(find app toolkit runtime imaging tests bench fuzz -type f \( -name '*.cpp' -o -name '*.h' \) \
  2> /dev/null | sort)
# One run over all files; it names each unformatted one in its "file:line:col: error:" lines.
unformatted=$("$formatter" --dry-run -Werror "${sources[@]}" 2>&1 | grep -E '^[^:]+:[0-9]+:[0-9]+: error:' | cut -d: -f1 |
  sort -u)
if [ -n "$unformatted" ]; then
  while IFS= read -r file; do
    echo "Not formatted (run $formatter -i $file)"
  done <<< "$unformatted"
  status=1
fi

if [ "$status" -eq 0 ]; then
  echo "Source rules hold: ${#sources[@]} C++ sources formatted, Qt only in the platform code"
fi
exit "$status"
