#!/usr/bin/env bash
# Set up (install what is missing, build) and run every test.
set -euo pipefail
cd "$(dirname "$0")"
QUORVANE_TEST_TOOLS=1 scripts/setup.sh
cd build
ctest --output-on-failure -j"$(nproc)"
../scripts/ci_extra.sh
