#!/usr/bin/env bash
# Installs what is missing (Debian packages), then configures and builds
# Quorvane into build/ (the "dev" preset), which also prepares the empty
# database template and, where there is none yet, build/dbSchedules.mdb
# next to the executable.
set -euo pipefail
cd "$(dirname "$0")/.."

# libxlsxwriter-dev links with -lz but does not depend on zlib1g-dev.
packages=(
  build-essential cmake pkg-config
  qt6-base-dev libqt6sql6-sqlite libsqlite3-dev libxlsxwriter-dev zlib1g-dev
  fonts-liberation sqlite3
)
if [ "${QUORVANE_TEST_TOOLS:-0}" = 1 ]; then
  packages+=(xvfb xauth xdotool x11-utils imagemagick python3 python3-xlrd python3-openpyxl python3-xlib clang libclang-rt-dev clang-format)
  # The install test validates the desktop files and builds the Debian package,
  # for which cpack runs dpkg-shlibdeps (dpkg-dev) and file, and checks it with lintian.
  packages+=(desktop-file-utils appstream dpkg-dev file lintian)
  # The export tests read PDF files back (pdfinfo, pdftotext), calendars with
  # the icalendar module, and print the workbooks with LibreOffice; xmllint
  # checks every part of an .xlsx.
  packages+=(poppler-utils python3-icalendar libreoffice-calc-nogui libxml2-utils)
  # A calendar program lists the exported meetings (khal import, khal list).
  packages+=(khal)
  # What a screen reader reads: the AT-SPI bus and its Python client in a D-Bus session.
  packages+=(at-spi2-core python3-pyatspi dbus)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake --preset dev
cmake --build --preset dev -j"$(nproc)"
