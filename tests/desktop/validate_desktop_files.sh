#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR below /usr and checks what a desktop sees of it:
# every file in its place, the installed program answering --help, --version and a wrong
# command line without a display, one version in the program, the AppStream release and the
# manual page, the desktop entry, icon and metadata naming each other, and the verdicts of
# desktop-file-validate, appstreamcli (offline) and groff's warnings on the manual page.
#
# Usage: validate_desktop_files.sh <cmake> <build dir> <bindir> <datadir> <mandir>
# (the last three relative to the prefix, as GNUInstallDirs gives them).
# Exit status 77 (skipped) when a validator is missing; the other checks have run by then.
set -euo pipefail

cmake=$1
build=$2
bindir=$3
datadir=$4
mandir=$5
app_id=io.github.graphonite.Graphonite

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

root=$work/root
DESTDIR=$root "$cmake" --install "$build" --prefix /usr > "$work/install.log"
prefix=$root/usr
program=$prefix/$bindir/graphonite
desktop_file=$prefix/$datadir/applications/$app_id.desktop
metainfo=$prefix/$datadir/metainfo/$app_id.metainfo.xml
manual=$prefix/$mandir/man1/graphonite.1
mime_package=$prefix/$datadir/mime/packages/$app_id.xml
project_type=application/x-graphonite-project
icons=$prefix/$datadir/icons/hicolor

for file in "$desktop_file" "$metainfo" "$manual" "$mime_package" "$icons/scalable/apps/graphonite.svg"; do
  [ -s "$file" ] || fail "not installed: ${file#"$root"}"
done
for size in 16 32 48 64 128 256; do
  png=$icons/${size}x${size}/apps/graphonite.png
  if [ ! -s "$png" ]; then
    fail "not installed: ${png#"$root"}"
  # The PNG header's width and height (IHDR, bytes 16 to 23) must be the size of the folder.
  elif [ "$(od -An -tx1 -j16 -N8 "$png" | tr -d ' \n')" != "$(printf '%08x%08x' "$size" "$size")" ]; then
    fail "${png#"$root"} is not $size x $size pixels"
  fi
done
[ -x "$program" ] || { fail "not installed: ${program#"$root"}"; exit 1; }

# The command line is answered before the program looks for a desktop: no display is needed.
run() {
  set +e
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$@" > "$work/out" 2> "$work/err"
  status=$?
  set -e
}
run --help
[ "$status" = 0 ] || fail "--help exits with $status"
grep -q '^Usage: graphonite \[PICTURE\]' "$work/out" || fail "--help prints no usage line"
grep -q 'man graphonite' "$work/out" || fail "--help does not point to the manual"
[ ! -s "$work/err" ] || fail "--help writes to standard error: $(cat "$work/err")"
run --version
[ "$status" = 0 ] || fail "--version exits with $status"
version=$(sed -n 's/^graphonite \([0-9][0-9.]*\)$/\1/p' "$work/out")
[ -n "$version" ] || fail "--version prints '$(cat "$work/out")', not 'graphonite <version>'"
for arguments in "--bogus" "-x chart.png" "a.png b.png"; do
  # shellcheck disable=SC2086 # the arguments are meant to split
  run $arguments
  [ "$status" = 2 ] || fail "'graphonite $arguments' exits with $status, not 2"
  [ "$(sed -n 2p "$work/err")" = "Try 'graphonite --help'." ] || fail "'graphonite $arguments' gives no hint to --help"
  [ ! -s "$work/out" ] || fail "'graphonite $arguments' writes to standard output"
done

# One version everywhere: the newest AppStream release and the manual page's header.
release=$(grep -o '<release version="[^"]*"' "$metainfo" | head -n 1 | cut -d'"' -f2)
[ "$release" = "$version" ] || fail "newest release in the metainfo is '$release', the program says '$version'"
grep -q "^\.TH GRAPHONITE 1 \"[^\"]*\" \"Graphonite $version\"" "$manual" ||
  fail "the manual page's header does not name Graphonite $version"

# The pieces name each other: the entry starts the installed program and names the installed
# icon, the metadata launches the installed entry.
entry() { sed -n "s/^$1=//p" "$desktop_file"; }
[ "$(entry Exec | cut -d' ' -f1)" = graphonite ] || fail "Exec does not start graphonite"
[ "$(entry Icon)" = graphonite ] || fail "Icon is not graphonite"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
  fail "the metainfo does not launch $app_id.desktop"
grep -q "<id>$app_id</id>" "$metainfo" || fail "the metainfo's id is not $app_id"
# The entry opens the project type that the installed MIME package declares.
entry MimeType | tr ';' '\n' | grep -qx "$project_type" || fail "the entry's MimeType does not list $project_type"
grep -q "<mime-type type=\"$project_type\">" "$mime_package" || fail "the MIME package does not declare $project_type"

missing=()
if command -v desktop-file-validate > /dev/null; then
  # Errors fail with a non-zero status; warnings are faults of ours too. Hints are shown.
  if ! desktop-file-validate "$desktop_file" > "$work/desktop.log" 2>&1 || grep -q 'warning:' "$work/desktop.log"; then
    fail "desktop-file-validate: $(cat "$work/desktop.log")"
  fi
  grep 'hint:' "$work/desktop.log" || true
else
  missing+=(desktop-file-validate)
fi
if command -v appstreamcli > /dev/null; then
  appstreamcli validate --no-net "$metainfo" > "$work/appstream.log" 2>&1 ||
    fail "appstreamcli validate: $(cat "$work/appstream.log")"
else
  missing+=(appstreamcli)
fi
if command -v update-mime-database > /dev/null; then
  # The package built into a database of its own, as the desktop does: any complaint is a fault,
  # and the glob and the magic must reach the database.
  mkdir -p "$work/mime/packages"
  cp "$mime_package" "$work/mime/packages/"
  if ! XDG_DATA_HOME="$work" update-mime-database "$work/mime" > "$work/mime.log" 2>&1 || [ -s "$work/mime.log" ]; then
    fail "update-mime-database: $(cat "$work/mime.log")"
  fi
  grep -q "^50:$project_type:\*\.graphonite$" "$work/mime/globs2" || fail "no glob *.graphonite for $project_type"
  grep -q "$project_type" "$work/mime/magic" || fail "no magic for $project_type"
else
  missing+=(update-mime-database)
fi
if command -v groff > /dev/null; then
  groff -man -Tutf8 -ww -z "$manual" > "$work/groff.log" 2>&1 || true
  [ ! -s "$work/groff.log" ] || fail "groff warns about the manual page: $(cat "$work/groff.log")"
else
  missing+=(groff)
fi

if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "skipped: ${missing[*]} missing (scripts/setup installs them); the other checks passed"
  exit 77
fi
echo "installed files valid"
