#!/usr/bin/env bash
# Installs a built tree into a temporary prefix and checks what a desktop user and a packager
# get: exactly the expected files, programs that start from there, a valid desktop entry whose
# program and icon exist, a 256 px PNG icon, compressed man pages that format without warnings,
# the Debian copyright file and changelog, AppStream metadata that validates, .ign files known
# to the desktop as a type of their own that opens in the window program, and four manuals of
# at least four pages with their text as text. Also checks the manuals beside the window
# program in the build tree, where F1 finds them.
#   check_install.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

cmake --install "$build" --prefix "$prefix" >/dev/null

manuals=(manual_zentrola_en.pdf manual_zentrola_de.pdf manual_zentrola_fr.pdf manual_zentrola_cz.pdf)
expected=(
  bin/zentrola
  bin/zentrola-cli
  bin/zentrola-unit
  share/applications/zentrola.desktop
  share/applications/zentrola-viewer.desktop
  share/doc/zentrola/changelog.gz
  share/doc/zentrola/copyright
  share/icons/hicolor/256x256/apps/zentrola.png
  share/icons/hicolor/scalable/apps/zentrola.svg
  share/man/man1/zentrola.1.gz
  share/man/man1/zentrola-cli.1.gz
  share/man/man1/zentrola-unit.1.gz
  share/mime/packages/zentrola.xml
)
for m in "${manuals[@]}"; do expected+=("share/doc/zentrola/$m"); done
# The metadata's file is named by its id, which the build's web domain decides.
metainfo=$(find "$prefix/share/metainfo" -name '*.metainfo.xml' 2>/dev/null | head -1)
expected+=("share/metainfo/$(basename "${metainfo:-missing.metainfo.xml}")")
actual=$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
wanted=$(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)
if [ "$actual" != "$wanted" ]; then
  fail "installed files differ from the expected list:"
  diff <(echo "$wanted") <(echo "$actual") >&2 || true
fi

for program in zentrola zentrola-cli zentrola-unit; do
  [ -x "$prefix/bin/$program" ] || fail "bin/$program is not executable"
done
# The installed command line program runs from the prefix alone.
"$prefix/bin/zentrola-cli" --help >/dev/null 2>&1 || fail "installed zentrola-cli --help failed"

for desktop in "$prefix"/share/applications/zentrola.desktop \
  "$prefix"/share/applications/zentrola-viewer.desktop; do
if [ -f "$desktop" ]; then
  if ! command -v desktop-file-validate >/dev/null; then
    fail "desktop-file-validate is missing (scripts/setup installs desktop-file-utils)"
  elif ! out=$(desktop-file-validate "$desktop" 2>&1) || [ -n "$out" ]; then
    fail "desktop-file-validate: $out"
  fi
  exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
  icon_name=$(sed -n 's/^Icon=//p' "$desktop")
  [ -x "$prefix/bin/$exec_name" ] || fail "the desktop entry starts '$exec_name', not installed"
  [ -f "$prefix/share/icons/hicolor/scalable/apps/$icon_name.svg" ] ||
    fail "the desktop entry's icon '$icon_name' has no SVG"
fi
done

# PNG signature, then width and height of the IHDR chunk as big-endian numbers.
png=$prefix/share/icons/hicolor/256x256/apps/zentrola.png
if [ -f "$png" ]; then
  signature=$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')
  size=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}')
  [ "$signature" = 89504e470d0a1a0a ] || fail "zentrola.png is not a PNG"
  [ "$size" = 256x256 ] || fail "zentrola.png is $size, not 256x256"
fi
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/zentrola.svg" 2>/dev/null ||
  fail "zentrola.svg is not an SVG"

# Every program has its page, compressed without a time stamp (byte 4 of gzip: the flags,
# bytes 5..8: the time), formatting without warnings.
for program in zentrola zentrola-cli zentrola-unit; do
  page=$prefix/share/man/man1/$program.1.gz
  [ -f "$page" ] || continue
  [ "$(od -An -tu1 -j4 -N4 "$page" | tr -s ' ')" = " 0 0 0 0" ] ||
    fail "$program.1.gz carries a time stamp"
  if command -v groff >/dev/null; then
    warnings=$(gzip -dc "$page" | LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z 2>&1)
    [ -z "$warnings" ] || fail "$program.1 warnings: $warnings"
    gzip -dc "$page" | grep -q "^\.TH ${program^^} 1" || fail "$program.1 has no title line"
  fi
done
man_page=$prefix/share/man/man1/zentrola-cli.1.gz
if [ -f "$man_page" ]; then
  for command in info read program verify monitor convert diff; do
    gzip -dc "$man_page" | grep -q "^\.B $command\b" ||
      fail "the man page does not describe '$command'"
  done
fi

# The Debian changelog: its newest entry is this version, signed by a name with an address.
changelog=$prefix/share/doc/zentrola/changelog.gz
if [ -f "$changelog" ]; then
  version=$(gzip -dc "$changelog" | sed -n '1s/^zentrola (\([^)]*\)).*/\1/p')
  [ "$version" = "$(sed -n 's/^project(zentrola VERSION \([0-9.]*\).*/\1/p' "$source_dir/CMakeLists.txt")" ] ||
    fail "the changelog's newest version is '$version'"
  gzip -dc "$changelog" | grep -q '^ -- .* <[^@ ]*@[^> ]*>  [A-Z][a-z][a-z], ' ||
    fail "the changelog's entry has no maintainer with an address"
fi
grep -q '^License: GPL-3+$' "$prefix/share/doc/zentrola/copyright" 2>/dev/null ||
  fail "the copyright file does not name the licence"

if [ -f "$metainfo" ]; then
  [ "$(basename "$metainfo")" = "$(sed -n 's|.*<id>\(.*\)</id>.*|\1|p' "$metainfo").metainfo.xml" ] ||
    fail "the metainfo file is not named by its id"
  if ! command -v appstreamcli >/dev/null; then
    fail "appstreamcli is missing (scripts/setup installs appstream)"
  elif ! out=$(appstreamcli validate --no-net "$metainfo" 2>&1) ||
    grep -q '^[EW]:' <<<"$out"; then
    fail "appstreamcli validate: $out"
  fi
  for lang in de fr cs; do
    grep -q "<summary xml:lang=\"$lang\">" "$metainfo" || fail "no $lang summary in the metainfo"
  done
  grep -q '<launchable type="desktop-id">zentrola.desktop</launchable>' "$metainfo" ||
    fail "the metainfo does not launch zentrola.desktop"
  grep -q '<screenshot type="default">' "$metainfo" || fail "the metainfo has no screenshot"
fi

# .ign files: the desktop's type database and its list of programs per type, built from the
# installed files as the package's triggers build them, give the type and the window program.
if command -v update-mime-database >/dev/null && command -v update-desktop-database >/dev/null; then
  desktop_db=$(mktemp -d)
  cp -r "$prefix/share/mime" "$prefix/share/applications" "$desktop_db/"
  update-mime-database "$desktop_db/mime" >/dev/null 2>&1 || fail "update-mime-database failed"
  grep -q ':application/x-zentrola-ign:\*\.ign$' "$desktop_db/mime/globs2" ||
    fail ".ign is not known as application/x-zentrola-ign"
  update-desktop-database "$desktop_db/applications" 2>/dev/null
  grep -q '^application/x-zentrola-ign=.*zentrola\.desktop' \
    "$desktop_db/applications/mimeinfo.cache" || fail ".ign files do not open in zentrola"
  grep -q '^Exec=zentrola %f$' "$prefix/share/applications/zentrola.desktop" ||
    fail "the desktop entry does not hand the file to the program"
  rm -rf "$desktop_db"
else
  fail "update-mime-database or update-desktop-database is missing (scripts/setup installs them)"
fi

# Qt writes one dictionary per page object; "/Type /Pages" is the tree node, not a page.
page_count() { LC_ALL=C grep -a -o -E '/Type ?/Page([^s]|$)' "$1" | wc -l; }
check_pdf() { # file, where
  local pdf=$1 where=$2
  if [ ! -f "$pdf" ]; then
    fail "$where: missing"
    return
  fi
  [ "$(head -c 5 "$pdf")" = "%PDF-" ] || fail "$where: not a PDF"
  local pages
  pages=$(page_count "$pdf")
  [ "$pages" -ge 4 ] || fail "$where: $pages pages, fewer than 4"
  # Text kept as text: embedded fonts; and the window's pictures are in it.
  LC_ALL=C grep -a -q '/FontFile2' "$pdf" || fail "$where: no embedded font"
  LC_ALL=C grep -a -q '/Subtype /Image' "$pdf" || fail "$where: no picture"
  echo "$where: $pages pages"
}
for m in "${manuals[@]}"; do
  check_pdf "$prefix/share/doc/zentrola/$m" "installed $m"
  check_pdf "$build/ui/$m" "build/ui/$m"
done

# The sources: long enough to be a manual, and every picture they name exists.
for lang in en de fr cz; do
  md=$source_dir/docs/manual/manual_$lang.md
  words=$(wc -w <"$md")
  [ "$words" -ge 1500 ] || fail "manual_$lang.md has $words words, fewer than 1500"
  while read -r picture; do
    [ -f "$(dirname "$md")/$picture" ] || fail "manual_$lang.md names a missing picture $picture"
  done < <(grep -o '!\[[^]]*\]([^)]*)' "$md" | sed 's/.*(\(.*\))/\1/')
done

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "install tree complete"
