#!/usr/bin/env bash
# Runs a command on a virtual X server of its own, on a display number the server picks, and
# stops the server afterwards: the program tested on a real X display, beside the tests that
# run on Qt's offscreen platform. The set-up (scripts/deps) installs Xvfb.
set -euo pipefail
server=""
shown=$(mktemp)
trap '[ -n "$server" ] && kill "$server" 2>/dev/null; [ -n "$server" ] && wait "$server" 2>/dev/null; rm -f "$shown"' EXIT
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$shown" 2>/dev/null &
server=$!
# The server writes its display number once it takes clients (a minute at most).
for _ in $(seq 1 600); do
  [ -s "$shown" ] && break
  kill -0 "$server" 2>/dev/null || break
  sleep 0.1
done
if [ ! -s "$shown" ]; then
  echo "under_xvfb: the X server did not start" >&2
  exit 1
fi
export DISPLAY=":$(head -n 1 "$shown")"
export QT_QPA_PLATFORM=xcb
"$@"
