#!/usr/bin/env bash
# Set up (install what is missing, build, prepare the database) and start Quorvane.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
exec build/quorvane
