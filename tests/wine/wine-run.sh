#!/usr/bin/env bash
# Runs Windows programs of the test build under Wine, in a Wine prefix of the build
# folder that each test run creates afresh.
#
#   wine-run.sh PREFIX --create      make a new prefix (Arial mapped to Liberation Sans)
#                                    with a virtual display (Xvfb) for window tests
#   wine-run.sh PREFIX --shutdown    stop the prefix's wine server and display
#   wine-run.sh PREFIX PROGRAM ARGS  run a program in the prefix, on its display
#
# Every run is silent (WINEDEBUG=-all), has a time limit (ZYNKA_WINE_TIMEOUT seconds,
# default 300) and never starts Wine's debugger: a crash ends the program at once
# (exit status 5) instead of waiting for a debugger forever.
set -euo pipefail

if [ $# -lt 2 ]; then
  echo "usage: wine-run.sh PREFIX (--create | --shutdown | PROGRAM [ARGS...])" >&2
  exit 2
fi

prefix=$(realpath -m "$1")  # Wine wants an absolute path
shift
wine_dir=/usr/lib/wine
wine=$wine_dir/wine64
wineserver=$wine_dir/wineserver64
[ -x "$wineserver" ] || wineserver=$wine_dir/wineserver
if [ ! -x "$wine" ]; then
  echo "wine-run.sh: $wine not found (install wine64: scripts/setup.sh)" >&2
  exit 1
fi

export WINEPREFIX=$prefix
export WINEDEBUG=-all
export WINEARCH=win64
export WINEDLLOVERRIDES="winedbg.exe=d"
limit=${ZYNKA_WINE_TIMEOUT:-300}

# The display of the prefix: one Xvfb per test run, started by --create. Wine's desktop
# process keeps the display it started with, so every program of the run uses this one.
display_file=$prefix/zynka-xvfb-display
pid_file=$prefix/zynka-xvfb-pid
[ -s "$display_file" ] && export DISPLAY=":$(cat "$display_file")"

stop_display() {
  if [ -s "$pid_file" ]; then
    local pid
    pid=$(cat "$pid_file")
    # Only the Xvfb this script started, not whatever took its number after a reboot.
    [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = Xvfb ] && kill "$pid" 2>/dev/null || true
    rm -f "$pid_file" "$display_file"
  fi
}

start_display() {
  if ! command -v Xvfb >/dev/null; then
    echo "wine-run.sh: Xvfb not found (install xvfb: scripts/setup.sh)" >&2
    exit 1
  fi
  # -displayfd picks a free display number and writes it once the server accepts clients.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp \
    </dev/null >/dev/null 2>&1 3>"$display_file" &
  echo $! >"$pid_file"
  for _ in $(seq 100); do
    [ -s "$display_file" ] && break
    sleep 0.1
  done
  if [ ! -s "$display_file" ]; then
    echo "wine-run.sh: Xvfb did not start" >&2
    stop_display
    exit 1
  fi
  export DISPLAY=":$(cat "$display_file")"
}

case "$1" in
  --create)
    # A prefix left by an earlier run may hold state from it; start clean.
    if [ -d "$prefix" ]; then
      "$wineserver" -k 2>/dev/null || true
      stop_display
      rm -rf "$prefix"
    fi
    mkdir -p "$prefix"
    start_display
    # No Mono or Gecko installers: they would ask for a download.
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES;mscoree,mshtml=" \
      timeout -k 10 "$limit" "$wine" wineboot --init </dev/null
    # The editor asks for Arial; map it to its metric twin, as on a real Windows machine.
    timeout -k 10 "$limit" "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' \
      /v Arial /d 'Liberation Sans' /f </dev/null >/dev/null
    # Wait until the registry is on disk, then keep one server up for the whole test run
    # (--shutdown ends it; should that never come, it ends after 5 idle minutes).
    timeout -k 10 "$limit" "$wineserver" -w
    "$wineserver" -p300 </dev/null >/dev/null 2>&1
    # Start Wine's background processes now, detached from our output: programs started
    # later find them running, so the test driver need not wait for them to exit.
    timeout -k 10 "$limit" "$wine" cmd /c exit 0 </dev/null >/dev/null 2>&1
    echo "wine-run.sh: prefix ready in $prefix (display $DISPLAY)"
    ;;
  --shutdown)
    if [ -d "$prefix" ]; then
      "$wineserver" -k 2>/dev/null || true
      stop_display
    fi
    ;;
  *)
    if [ ! -f "$prefix/system.reg" ]; then
      echo "wine-run.sh: no Wine prefix in $prefix (run the wine_prefix test first)" >&2
      exit 1
    fi
    exec timeout -k 10 "$limit" "$wine" "$@"
    ;;
esac
