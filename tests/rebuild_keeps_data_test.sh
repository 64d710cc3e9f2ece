#!/usr/bin/env bash
# The database beside the built program may hold a user's timetables: a
# rebuild that relinks the program and its database tool keeps every row.
# Builds a copy of the sources in a scratch folder, so that the build under
# test is left alone. Argument: the source folder.
set -euo pipefail
source_dir="$(cd "$1" && pwd)"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$source_dir" && git ls-files -z --cached --others --exclude-standard 2>/dev/null || find . -path './build*' -prune -o -type f -print0) |
  (cd "$source_dir" && xargs -0 cp --parents -t "$scratch/") 2>/dev/null || true
[ -f "$scratch/CMakeLists.txt" ] || fail "could not copy the sources"
build="$scratch/build"
cmake -S "$scratch" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)" --target delivered_database >/dev/null
database="$build/dbSchedules.mdb"
sqlite3 "$database" "insert into tblSchedules (Description) values ('Fall term')"
sqlite3 "$database" "insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) values (1,'Biology','','0','08:30','10:00')"

# A change to the program's sources relinks the tool that makes the database.
touch "$scratch/store/schema.cpp" "$scratch/tools/make_db.cpp"
output="$(cmake --build "$build" -j"$(nproc)" --target delivered_database 2>&1)"
grep -q "Linking CXX executable quorvane_makedb" <<<"$output" || fail "the rebuild did not relink: $output"
[ "$(sqlite3 "$database" "select Description from tblSchedules; select CourseName from tblCourse")" = \
  $'Fall term\nBiology' ] || fail "the rebuild lost rows"
[ "$(sqlite3 "$build/template/dbSchedules.mdb" "select count(*) from tblSchedules")" = 0 ] ||
  fail "the template is not empty"
echo "rebuild keeps the database: ok"
