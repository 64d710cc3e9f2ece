#!/usr/bin/env bash
# Makes the README's screenshots (docs/screenshots/) with the built program in
# an X server of its own: maximised on a 1920x1080 screen, on a 1366x768
# screen at 125 %, and in a dark theme (the Adwaita-Dark style of
# adwaita-qt6). Needs xvfb-run, xdotool, ImageMagick's import and sqlite3.
# Usage: scripts/screenshots.sh [BUILD_FOLDER]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
out="$root/docs/screenshots"
mkdir -p "$out"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# A week with a clash on Monday and Wednesday at 9:30 AM.
cp "$build/quorvane" "$work/"
cp "$build/template/dbSchedules.mdb" "$work/"
course() { # name, days, grid from, grid to, exact from, exact to
  echo "insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo,ExactFrom,ExactTo)
        values (1,'$1','','$2','$3','$4','$5','$6');"
}
sqlite3 "$work/dbSchedules.mdb" <<SQL
insert into tblSchedules (id, Description) values (1, 'Fall 2026'), (2, 'Spring 2027');
$(course 'MATH 2210' '0,2,4' '09:00' '09:30' '9:00:00 AM' '9:50:00 AM')
$(course 'PSYCH 1101' '0,2' '09:30' '10:30' '9:30:00 AM' '10:45:00 AM')
$(course 'ENGL 1170 Writing Seminar' '1,3' '11:00' '12:00' '11:00:00 AM' '12:15:00 PM')
$(course 'HIST 2111 American History' '1,3' '08:00' '09:00' '8:00:00 AM' '9:15:00 AM')
$(course 'CSCI 1301 Programming' '0,2' '13:00' '14:00' '1:00:00 PM' '2:15:00 PM')
$(course 'CHEM 1211 Laboratory' '3' '14:00' '17:00' '2:00:00 PM' '4:50:00 PM')
$(course 'SPAN 1001 Evening Spanish' '1' '19:00' '21:00' '7:00:00 PM' '9:00:00 PM')
$(course 'Study group' '5' '10:00' '12:00' '10:00:00 AM' '12:00:00 PM')
SQL

# shot NAME SCREEN SCALE SIZE [QT ARGUMENTS...]: the program on a screen of
# that size at that scale, its window made SIZE ("screen" for the whole
# screen, "" for as it opens), the screen saved as NAME.png.
shot() {
  local name=$1 screen=$2 scale=$3 size=$4
  shift 4
  xvfb-run -a -n "$((100 + RANDOM % 800))" -s "-screen 0 ${screen}x24" bash -c '
    set -euo pipefail
    work=$1 out=$2 name=$3 screen=$4 scale=$5 size=$6
    shift 6
    XDG_CONFIG_HOME="$work/config-$name" QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$scale" "$work/quorvane" "$@" &
    program=$!
    window=""
    for _ in $(seq 100); do
      window=$(xdotool search --onlyvisible --name "^Quorvane$" 2>/dev/null | head -1) && [ -n "$window" ] && break
      sleep 0.1
    done
    [ -n "$window" ] || { echo "no window"; kill $program; exit 1; }
    if [ "$size" = screen ]; then
      xdotool windowmove "$window" 0 0 windowsize "$window" "${screen%x*}" "${screen#*x}"
    fi
    # Without a window manager a window is active only once it has the focus.
    xdotool windowfocus "$window"
    sleep 2
    import -window root "$out/$name.png"
    kill $program
  ' _ "$work" "$out" "$name" "$screen" "$scale" "$size" "$@"
}

shot window-1920x1080 1920x1080 1 screen
shot window-1366x768-125 1366x768 1.25 ""
shot window-dark 1366x768 1 "" -style Adwaita-Dark
echo "screenshots: $(ls "$out")"
