#!/usr/bin/env bash
# Installs the built program into a scratch prefix and checks what a desktop
# expects to find there, that a reinstall leaves a user's database alone, then
# that the uninstall script removes the install and keeps that database, then
# builds the Debian package and checks its fields, its contents and lintian.
# Arguments: the build folder (already built) and the project version.
set -euo pipefail
build="$(cd "$1" && pwd)"
version="$2"
id=org.quorvane.Quorvane
scratch="$(mktemp -d)"
# Every install writes the build's install_manifest.txt, which the uninstall
# script reads: the one of the user's own install is put back.
manifest="$build/install_manifest.txt"
[ ! -f "$manifest" ] || cp -p "$manifest" "$scratch/manifest"
trap 'if [ -f "$scratch/manifest" ]; then cp -p "$scratch/manifest" "$manifest"; else rm -f "$manifest"; fi; rm -rf "$scratch"' EXIT
# A blank in the prefix, as in a home folder's name.
prefix="$scratch/pre fix"
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in sqlite3 desktop-file-validate appstreamcli identify python3 cpack dpkg-deb file xvfb-run xdotool lintian; do
  command -v "$tool" >/dev/null || fail "$tool is missing (test.sh installs it)"
done

cmake --install "$build" --prefix "$prefix" >/dev/null

# The program in its own folder, started through a relative link.
[ -x "$prefix/lib/quorvane/quorvane" ] || fail "no program in lib/quorvane"
[ "$(readlink "$prefix/bin/quorvane")" = ../lib/quorvane/quorvane ] || fail "bin/quorvane is not a relative link"
[ "$(readlink -f "$prefix/bin/quorvane")" = "$(readlink -f "$prefix/lib/quorvane/quorvane")" ] ||
  fail "bin/quorvane does not lead to the program"
[ -s "$prefix/lib/quorvane/HAND-M.CUR" ] || fail "no hand pointer beside the program"

# The template: an empty database with the program's tables.
template="$prefix/share/quorvane/template/dbSchedules.mdb"
[ "$(stat -c %a "$template")" = 644 ] || fail "the template is not installed 0644"
[ "$(sqlite3 -readonly "$template" 'SELECT count(*) FROM tblSchedules; SELECT count(*) FROM tblCourse')" = $'0\n0' ] ||
  fail "the template is not an empty schedules database"
[ ! -e "$prefix/share/quorvane/dbSchedules.mdb" ] || fail "the install made a live database"

# What the desktop reads; hints are advice, errors and warnings are not.
out="$(desktop-file-validate "$prefix/share/applications/$id.desktop" 2>&1)" || fail "desktop entry: $out"
! grep -E ': (error|warning):' <<<"$out" || fail "desktop entry is not clean"
out="$(appstreamcli validate --no-net --no-color "$prefix/share/metainfo/$id.metainfo.xml" 2>&1)" || fail "metainfo: $out"
! grep -E '^[EW]:' <<<"$out" || fail "metainfo is not clean"
for size in 16 22 24 32 48 64 128 256; do
  [ "$(identify -format '%m %wx%h' "$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png")" = "PNG ${size}x${size}" ] ||
    fail "no ${size}x${size} icon"
done
python3 -c 'import sys, xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
sys.exit(root.tag != "{http://www.w3.org/2000/svg}svg" or root.get("viewBox") != "0 0 32 32")' \
  "$prefix/share/icons/hicolor/scalable/apps/$id.svg" || fail "the scalable icon is no 32-unit SVG"
gzip -t "$prefix/share/man/man1/quorvane.1.gz" || fail "no manual page"
# Outside /usr the menu entry starts the launcher by its full path, which a
# session without ~/.local/bin on its PATH finds too.
[ "$(grep '^Exec=' "$prefix/share/applications/$id.desktop")" = "Exec=\"$prefix/bin/quorvane\" %f" ] ||
  fail "the menu entry does not start $prefix/bin/quorvane"
grep -q '^License: GPL-3+$' "$prefix/share/doc/quorvane/copyright" || fail "no copyright file"
zcat "$prefix/share/doc/quorvane/changelog.gz" | grep -q "^quorvane ($version) " || fail "no changelog of $version"

# Answered without a display and without a database.
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/quorvane" --version)" = "Quorvane $version" ] || fail "--version"
env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/quorvane" --help | grep '^Usage: quorvane' >/dev/null || fail "--help"

# The installed program starts, shows its window, and makes the user's own
# database from the template. With the data folder inside the prefix, that
# database is where an install into ~/.local would put it.
home="$scratch/home"
mkdir -p "$home"
live="$prefix/share/quorvane/dbSchedules.mdb"
HOME="$home" XDG_DATA_HOME="$prefix/share" QT_QPA_PLATFORM=xcb xvfb-run -a -n "$((100 + RANDOM % 800))" bash -c '
  "$1" & program=$!
  for _ in $(seq 600); do
    window=$(xdotool search --onlyvisible --name "^Quorvane\$" 2>/dev/null | head -n 1)
    # 824 x 664 below its menu bar.
    size=$(xdotool getwindowgeometry --shell "$window" 2>/dev/null | grep -E "^(WIDTH|HEIGHT)=" | tr "\n" " ")
    [ -n "$window" ] && [[ "$size" =~ ^WIDTH=824\ HEIGHT=([0-9]+)\ $ ]] && [ "${BASH_REMATCH[1]}" -gt 664 ] && break
    window=
    sleep 0.1
  done
  kill "$program"; wait "$program" 2>/dev/null
  [ -n "$window" ]' _ "$prefix/bin/quorvane" || fail "the installed program showed no main window"
[ "$(stat -c %a "$live")" = 600 ] || fail "the user's database is not the user's alone"
[ -z "$(ls -A "$home")" ] || fail "the program made files in the home folder: $(ls -A "$home")"

# Installing again over the same prefix keeps what the user stored there.
sqlite3 "$live" "insert into tblSchedules (Description) values ('Fall term')"
cmake --install "$build" --prefix "$prefix" >/dev/null
[ "$(sqlite3 "$live" 'select Description from tblSchedules')" = "Fall term" ] ||
  fail "a reinstall touched the user's database"

# Uninstalling removes every installed file and keeps the user's database,
# its lock file and its backups (a start-up backup cut short by the end of
# the program above may have left its temporary copy there).
cp "$manifest" "$scratch/installed"
bash "$(dirname "$0")/../../scripts/uninstall.sh" "$scratch/installed" >/dev/null || fail "the uninstall script failed"
left="$(cd "$prefix" && find . ! -type d | grep -v -e '^\./share/quorvane/dbSchedules\.mdb\(\.lock\)\?$' \
  -e '^\./share/quorvane/backups/' || true)"
[ -z "$left" ] && [ -f "$prefix/share/quorvane/dbSchedules.mdb" ] ||
  fail "the uninstall left other files than the database: $(cd "$prefix" && find . ! -type d)"
[ ! -e "$prefix/lib/quorvane" ] && [ ! -e "$prefix/share/quorvane/template" ] ||
  fail "the uninstall left the program's folders"
[ "$(sqlite3 "$live" 'select Description from tblSchedules')" = "Fall term" ] || fail "the uninstall lost the database"

# The Debian package. cpack's usual install step builds the whole tree first;
# the tree is built already, so the package is made from its install script
# alone, stripped as cpack's usual step strips, and nothing is rebuilt while
# other tests run.
printf 'set(CMAKE_INSTALL_DO_STRIP 1)\ninclude("%s/cmake_install.cmake")\n' "$build" >"$scratch/install.cmake"
(cd "$build" && cpack -G DEB -B "$scratch/deb" -D CPACK_INSTALL_CMAKE_PROJECTS= \
  -D CPACK_INSTALL_SCRIPTS="$scratch/install.cmake" -D CPACK_INSTALL_PREFIX=/usr >/dev/null) ||
  fail "cpack could not make the package"
arch="$(dpkg --print-architecture)"
deb="$scratch/deb/quorvane_${version}_${arch}.deb"
[ -f "$deb" ] || fail "no $(basename "$deb")"
[ "$(dpkg-deb -f "$deb" Package Version Architecture)" = \
  "$(printf 'Package: quorvane\nVersion: %s\nArchitecture: %s' "$version" "$arch")" ] || fail "wrong package fields"
depends="$(dpkg-deb -f "$deb" Depends | tr ',|' '\n\n' | sed 's/(.*//; s/ //g')"
for package in libqt6widgets6 libqt6sql6 libqt6sql6-sqlite fonts-liberation; do
  grep -qx "$package" <<<"$depends" || fail "Depends lacks $package"
done
contents="$(dpkg-deb -c "$deb")"
for entry in "./usr/bin/quorvane -> ../lib/quorvane/quorvane" ./usr/lib/quorvane/quorvane \
    ./usr/lib/quorvane/HAND-M.CUR ./usr/share/quorvane/template/dbSchedules.mdb \
    "./usr/share/applications/$id.desktop" "./usr/share/metainfo/$id.metainfo.xml" \
    "./usr/share/icons/hicolor/scalable/apps/$id.svg" "./usr/share/icons/hicolor/48x48/apps/$id.png" \
    ./usr/share/man/man1/quorvane.1.gz ./usr/share/doc/quorvane/copyright ./usr/share/doc/quorvane/changelog.gz; do
  grep -qF " $entry" <<<"$contents" || fail "the package lacks $entry"
done
grep -qE '^-rw-r--r-- .* \./usr/share/quorvane/template/dbSchedules\.mdb$' <<<"$contents" ||
  fail "the packaged template is not 0644"
dpkg-deb -x "$deb" "$scratch/unpacked"
[ "$(grep '^Exec=' "$scratch/unpacked/usr/share/applications/$id.desktop")" = "Exec=quorvane %f" ] ||
  fail "the packaged menu entry does not start quorvane by name"
file "$scratch/unpacked/usr/lib/quorvane/quorvane" | grep -q ', stripped$' || fail "the packaged program is not stripped"
# No error and no warning; an optimised build carries Debian's hardening too
# (not a sanitizer build, whose instrumentation replaces it).
out="$(lintian --info --display-info "$deb" 2>&1)" || true
echo "$out"
! grep -E '^[EW]: ' <<<"$out" || fail "lintian reports errors or warnings"
if ! grep -q -e '^CMAKE_BUILD_TYPE:STRING=Debug$' -e '^QUORVANE_SANITIZE:BOOL=ON$' "$build/CMakeCache.txt"; then
  ! grep -E 'hardening-|unneeded-section' <<<"$out" || fail "the packaged program lacks the hardening"
fi
echo "install layout and package: ok"
