#!/bin/bash
# Developer tool, never part of the test command: measures how many small slips in app/ the
# application's tests notice. Each line of the list names a file under app/, a text that occurs
# exactly once in it and its replacement (<drop> for nothing), separated by tabs (\n: a line
# break). Each slip is applied alone, the app tests are rebuilt and run with a time bound, and
# the file is restored.
#
#   scripts/app_slips.sh scripts/app_slips/first_sample.tsv [build folder]
#
# Prints one line per slip: caught, survived or not built, with the failing test when caught.
set -u
list=$(realpath "$1")
build=${2:-build}
cd "$(git rev-parse --show-toplevel)" || exit 2
export CCACHE_BASEDIR=/work
if ! git diff --quiet -- app; then
    echo "app/ has changes of its own; commit or stash them first" >&2
    exit 2
fi
targets=(app_flow_test app_rules_test translations_test language_test command_line_test)
caught=0
survived=0
while IFS=$'\t' read -r file old new; do
    [[ -z "$file" || "$file" == \#* ]] && continue
    [[ "$new" == "<drop>" ]] && new=""
    line=$(python3 - "$file" "$old" "$new" <<'PY'
import sys
path, old, new = (a.replace("\\n", "\n") for a in sys.argv[1:4])
text = open(path, encoding="latin-1").read()
if text.count(old) != 1:
    print("0")
    sys.exit(0)
at = text.index(old)
open(path, "w", encoding="latin-1").write(text[:at] + new + text[at + len(old):])
print(text.count("\n", 0, at) + 1)
PY
)
    if [[ "$line" == 0 ]]; then
        echo "UNMATCHED  $file: $old"
        continue
    fi
    where="$file:$line  '$old' -> '$new'"
    if ! cmake --build "$build" --target "${targets[@]}" -j2 > /tmp/app_slips_build.log 2>&1; then
        echo "NOT BUILT  $where"
    elif out=$(timeout 300 ctest --test-dir "$build" -L app -LE xvfb -j2 --stop-on-failure 2>&1); then
        echo "SURVIVED   $where"
        survived=$((survived + 1))
    else
        failed=$(echo "$out" | grep -E '\*\*\*(Failed|Timeout)|Failed  |Exception' | head -1 | sed 's/^ *//')
        echo "CAUGHT     $where   [${failed:-timeout}]"
        caught=$((caught + 1))
    fi
    git checkout -q -- "$file"
done < "$list"
echo "caught $caught of $((caught + survived))"
git diff --quiet -- app || echo "warning: app/ is not clean" >&2
