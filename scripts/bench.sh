#!/usr/bin/env bash
# Builds the benchmarks and runs every one of them. Each figure is printed
# with the baseline measured in the same run and the ratio between the two;
# nothing is asserted. Built in Release in its own folder (build-release).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build_dir=build-release
cmake --preset release
cmake --build --preset release -j"$(nproc)"
# Qt wants a private runtime folder; give it one when the session has none.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  XDG_RUNTIME_DIR="$(mktemp -d)"
  export XDG_RUNTIME_DIR
  trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
fi
status=0
for bench in "$build_dir"/bench_*; do
  [ -f "$bench" ] && [ -x "$bench" ] || continue
  echo
  echo "== $(basename "$bench")"
  "$bench" || { echo "$(basename "$bench") failed"; status=1; }
done
exit "$status"
