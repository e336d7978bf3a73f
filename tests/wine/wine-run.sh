#!/usr/bin/env bash
# Runs Windows programs of the test build under Wine, in a Wine prefix of the build
# folder that each test run creates afresh.
#
#   wine-run.sh PREFIX --create      make a new prefix (Arial mapped to Liberation Sans)
#   wine-run.sh PREFIX --shutdown    stop the prefix's wine server
#   wine-run.sh PREFIX PROGRAM ARGS  run a program in the prefix
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

case "$1" in
  --create)
    # A prefix left by an earlier run may hold state from it; start clean.
    if [ -d "$prefix" ]; then
      "$wineserver" -k 2>/dev/null || true
      rm -rf "$prefix"
    fi
    mkdir -p "$(dirname "$prefix")"
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
    echo "wine-run.sh: prefix ready in $prefix"
    ;;
  --shutdown)
    [ -d "$prefix" ] && "$wineserver" -k 2>/dev/null || true
    ;;
  *)
    if [ ! -f "$prefix/system.reg" ]; then
      echo "wine-run.sh: no Wine prefix in $prefix (run the wine_prefix test first)" >&2
      exit 1
    fi
    exec timeout -k 10 "$limit" "$wine" "$@"
    ;;
esac
