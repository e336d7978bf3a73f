#!/usr/bin/env bash
# Runs a Windows test program that opens windows, under Wine, on the X display this
# script is started on (xvfb-run). The Wine prefix is made on that same display: a
# prefix whose desktop started without a display cannot create windows.
#
#   run-wine-window-tests.sh WINE_RUN PREFIX PROGRAM [ARGS...]
set -euo pipefail
wine_run=$1
prefix=$2
shift 2
"$wine_run" "$prefix" --create >/dev/null
status=0
"$wine_run" "$prefix" "$@" || status=$?
"$wine_run" "$prefix" --shutdown
exit $status
