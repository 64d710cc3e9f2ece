#!/usr/bin/env bash
# Builds the benchmarks in Release in their own folder (build-release) and
# runs every one of them. Each figure is the median, minimum and maximum of
# runs taken in turn with those of its baseline in the same run, printed with
# the ratio of the medians; nothing is asserted. Start-up is measured on the
# shipped program in an X server (xvfb-run), the rest offscreen.
set -euo pipefail
cd "$(dirname "$0")/.."
QUORVANE_TEST_TOOLS=1 scripts/setup.sh
build_dir=build-release
cmake --preset release
cmake --build --preset release -j"$(nproc)"
# Qt wants a private runtime folder; give it one when the session has none.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  XDG_RUNTIME_DIR="$(mktemp -d)"
  chmod 700 "$XDG_RUNTIME_DIR"
  export XDG_RUNTIME_DIR
  trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
fi
# The planner is measured against clingo, which the program never needs.
if ! command -v clingo >/dev/null; then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends gringo
fi
status=0
for bench in bench_list_courses bench_course_dialogs bench_exports bench_calendar_import; do
  echo
  echo "== $bench"
  QT_QPA_PLATFORM=offscreen "$build_dir/$bench" || { echo "$bench failed"; status=1; }
done
echo
echo "== planner against clingo"
/usr/bin/python3 bench/planner_vs_clingo.py "$build_dir/quorvane" "$build_dir/bench_planner" ||
  { echo "planner against clingo failed"; status=1; }
echo
echo "== start-up (X server)"
xvfb-run -a -s "-screen 0 1280x1024x24" /usr/bin/python3 bench/startup_under_x.py \
  "$build_dir/quorvane" "$build_dir/bench_bare_window" "$build_dir/bench_make_db" || { echo "start-up failed"; status=1; }
echo
echo "== course dialogs (X server)"
xvfb-run -a -s "-screen 0 1280x1024x24" /usr/bin/python3 bench/dialogs_under_x.py \
  "$build_dir/quorvane" "$build_dir/bench_bare_window" "$build_dir/bench_make_db" || { echo "course dialogs failed"; status=1; }
exit "$status"
