#!/usr/bin/env bash
# Removes what `cmake --install build` installed (./run.sh installs into
# ~/.local), as listed in build/install_manifest.txt or the list given, and
# the program's own folders it leaves empty. Your timetables stay: the
# database in the data folder (~/.local/share/quorvane/dbSchedules.mdb) is
# the program's work, not the install's, and is never in the list.
# For an install into /usr/local: sudo scripts/uninstall.sh
set -euo pipefail
manifest="${1:-$(dirname "$0")/../build/install_manifest.txt}"
if [ ! -f "$manifest" ]; then
  echo "uninstall: $manifest not found: nothing was installed from this build" >&2
  exit 1
fi
removed=0
while IFS= read -r file || [ -n "$file" ]; do  # the list ends without a newline
  [ -n "$file" ] || continue
  if [ -e "$file" ] || [ -L "$file" ]; then
    rm -f -- "$file"
    removed=$((removed + 1))
  fi
  # The folders named after the program, once empty; a data folder that
  # holds a database is not empty and stays.
  folder="$(dirname "$file")"
  while [[ "$folder" == */quorvane || "$folder" == */quorvane/* ]] && rmdir -- "$folder" 2>/dev/null; do
    folder="$(dirname "$folder")"
  done
done <"$manifest"
echo "Removed $removed installed files; your timetables are kept."
