#!/usr/bin/env bash
# The installed program keeps each user's database in $XDG_DATA_HOME/quorvane/.
# Where that lies in a folder anyone may write to, as /tmp, another user can
# put a link to a folder of theirs there first: the program refuses the
# folder and the database unless they are the user's alone, and touches
# nothing there. Makes a second user for its time, so it runs as root only.
# Argument: the build folder (already built).
set -euo pipefail
build="$(cd "$1" && pwd)"
[ "$(id -u)" = 0 ] || { echo "SKIP: only root can make the second user"; exit 77; }
command -v setpriv >/dev/null || { echo "SKIP: no setpriv to act as the second user"; exit 77; }
other="quorvane-other-$$"
scratch="$(mktemp -d)"
trap 'userdel "$other" 2>/dev/null || true; rm -rf "$scratch"' EXIT
useradd -M -N -r -s /usr/sbin/nologin "$other" 2>/dev/null || { echo "SKIP: cannot make a second user"; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix="$scratch/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
template="$prefix/share/quorvane/template/dbSchedules.mdb"
# A database with one schedule, for `owner` alone, at `path`.
schedules() { # path owner
  cp "$template" "$1" && chmod 600 "$1"
  sqlite3 "$1" "insert into tblSchedules (Description) values ('Fall term')" && chown "$2" "$1"
}
# The export of x.csv with `data` as XDG_DATA_HOME; what it says goes to $scratch/said.
export_from() { # data
  rm -f "$scratch/x.csv"
  (cd "$scratch" && env -u DISPLAY -u WAYLAND_DISPLAY XDG_DATA_HOME="$1" "$prefix/bin/quorvane" --export x.csv 2>"$scratch/said")
}
refused() { # data, the line expected
  local status=0
  export_from "$1" || status=$?
  [ "$status" = 1 ] || fail "exit $status, not 1, where: $2"
  [ "$(cat "$scratch/said")" = "quorvane: $2" ] || fail "said \"$(cat "$scratch/said")\", not \"$2\""
  [ ! -e "$scratch/x.csv" ] || fail "exported from a refused database: $2"
}

# The other user's link, in the shared folder, to a folder of theirs with a
# database anyone may change.
chmod 755 "$scratch"
shared="$scratch/shared"
mkdir -m 1777 "$shared"
mkdir -m 755 "$scratch/theirs"
planted="$scratch/theirs/dbSchedules.mdb"
schedules "$planted" "$other"
chmod 666 "$planted"
chown "$other" "$scratch/theirs"
setpriv --reuid="$other" --regid="$(id -g "$other")" --clear-groups ln -s "$scratch/theirs" "$shared/quorvane"
before="$(stat -c '%a %s %Y' "$planted") $(sha256sum <"$planted")"
refused "$shared" "$shared/quorvane is not owned by you"
# A link of the user's own is followed, to the folder that is not theirs.
rm "$shared/quorvane"
ln -s "$scratch/theirs" "$shared/quorvane"
refused "$shared" "$shared/quorvane is not owned by you"
[ "$(stat -c '%a %s %Y' "$planted") $(sha256sum <"$planted")" = "$before" ] || fail "the planted database changed"
[ "$(ls -A "$scratch/theirs")" = dbSchedules.mdb ] || fail "files made beside the planted database"

# The user's own folder and database, writable by others, then by the user alone.
rm "$shared/quorvane"
mkdir -m 700 "$shared/quorvane"
schedules "$shared/quorvane/dbSchedules.mdb" root
chmod 660 "$shared/quorvane/dbSchedules.mdb"
refused "$shared" "$shared/quorvane/dbSchedules.mdb can be changed by other users"
chmod 600 "$shared/quorvane/dbSchedules.mdb"
chmod 777 "$shared/quorvane"
refused "$shared" "$shared/quorvane can be changed by other users"
chmod 700 "$shared/quorvane"
export_from "$shared" || fail "the user's own database was refused: $(cat "$scratch/said")"
grep -q "Fall term" "$scratch/x.csv" || fail "x.csv does not hold the user's schedule"
echo "data folder of another user refused: ok"
