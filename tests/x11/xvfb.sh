#!/usr/bin/env bash
# The one virtual display (Xvfb) of a test run for the X11 tests.
#
#   xvfb.sh STATE_DIR --start   start Xvfb; its display number goes into STATE_DIR/display
#   xvfb.sh STATE_DIR --stop    stop the Xvfb that --start started
#
# The test programs read STATE_DIR/display and use that display, whatever DISPLAY the
# caller has, so a developer's own desktop is never touched by a test.
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: xvfb.sh STATE_DIR (--start | --stop)" >&2
  exit 2
fi
state=$1
display_file=$state/display
pid_file=$state/pid

stop() {
  if [ -s "$pid_file" ]; then
    local pid
    pid=$(cat "$pid_file")
    # Only the Xvfb this script started, not whatever took its number since.
    [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = Xvfb ] && kill "$pid" 2>/dev/null || true
  fi
  rm -f "$pid_file" "$display_file"
}

case "$2" in
  --start)
    stop
    mkdir -p "$state"
    if ! command -v Xvfb >/dev/null; then
      echo "xvfb.sh: Xvfb not found (install xvfb: scripts/setup.sh)" >&2
      exit 1
    fi
    # -displayfd picks a free display number and writes it once the server accepts clients.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp \
      </dev/null >/dev/null 2>&1 3>"$display_file.tmp" &
    echo $! >"$pid_file"
    for _ in $(seq 100); do
      [ -s "$display_file.tmp" ] && break
      sleep 0.1
    done
    if [ ! -s "$display_file.tmp" ]; then
      echo "xvfb.sh: Xvfb did not start" >&2
      stop
      exit 1
    fi
    mv "$display_file.tmp" "$display_file"
    echo "xvfb.sh: display :$(cat "$display_file")"
    ;;
  --stop)
    stop
    ;;
  *)
    echo "xvfb.sh: unknown command $2" >&2
    exit 2
    ;;
esac
