#!/usr/bin/env bash
# Set up (install what is missing, build), install Quorvane into ~/.local and
# start the installed program. Your timetables live in
# ~/.local/share/quorvane/dbSchedules.mdb, outside this folder: rebuilding,
# git clean or deleting build/ never touches them.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
cmake --install build --prefix "$HOME/.local" >/dev/null
exec "$HOME/.local/bin/quorvane" "$@"
