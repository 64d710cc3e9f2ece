#!/usr/bin/env bash
# What a screen reader reads from the real program: the AT-SPI bus in a D-Bus
# session of its own, the program in an X server. Arguments: the quorvane
# executable and the delivered empty database. Skipped (77) without the
# accessibility stack.
set -euo pipefail
# The X server's number is looked for from a random one up: a server just
# ended (the test before) may still hold its number while the next one starts.
here="$(cd "$(dirname "$0")" && pwd)"
launcher=/usr/libexec/at-spi-bus-launcher
if [ ! -x "$launcher" ] || ! command -v dbus-run-session >/dev/null || ! /usr/bin/python3 -c 'import pyatspi' 2>/dev/null; then
  echo "read aloud: the accessibility stack is missing (test.sh installs it)"
  exit 77
fi
exec xvfb-run -a -n "$((100 + RANDOM % 800))" -s "-screen 0 1280x1024x24" dbus-run-session -- bash -c '
  "$1" --launch-immediately & bus=$!
  trap "kill $bus 2>/dev/null" EXIT
  /usr/bin/python3 "$2/e2e/read_aloud.py" "$3" "$4"' _ "$launcher" "$here" "$@"
