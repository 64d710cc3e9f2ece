#!/usr/bin/env bash
# End-to-end: the built program in a real X server, driven from outside with
# xdotool as a person would. Arguments: the quorvane executable and the
# delivered empty database.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
for tool in xvfb-run xdotool import convert sqlite3; do
  command -v "$tool" >/dev/null || { echo "e2e: $tool is missing (test.sh installs it)"; exit 1; }
done
exec xvfb-run -a -n "$((100 + RANDOM % 800))" -s "-screen 0 1280x1024x24" /usr/bin/python3 "$here/e2e/drive.py" "$@"
