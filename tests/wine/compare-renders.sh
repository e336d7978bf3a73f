#!/usr/bin/env bash
# Renders the demo MIDI phrase through zynka.dll under Wine and through zynka.so
# natively, and requires the two renders to be the same to the last bit: every sample
# equal (and finite, and the render not silent), and the files identical byte for byte,
# so that even the sign of a zero agrees.
#
#   compare-renders.sh double NATIVE_TOOLS WINE_RUN PREFIX WORKDIR ZYNKA_DLL DUMP_EXE
#       every factory program through the double-precision path
#   compare-renders.sh wav NATIVE_TOOLS WINE_RUN PREFIX WORKDIR ZYNKA_DLL RENDER_EXE
#       zynka-render.exe against zynka-render (32-bit float WAV, float path)
#
# NATIVE_TOOLS is the file the Linux build writes with the paths of its zynka.so and
# tools; the Linux build must have run first.
set -euo pipefail

if [ $# -ne 7 ]; then
  echo "usage: compare-renders.sh (double|wav) NATIVE_TOOLS WINE_RUN PREFIX WORKDIR ZYNKA_DLL PROGRAM" >&2
  exit 2
fi
mode=$1 native_tools=$2 wine_run=$3 prefix=$4 work=$5 dll=$6 program=$7

if [ ! -f "$native_tools" ]; then
  echo "compare-renders.sh: $native_tools is missing: build the Linux preset first" \
       "(cmake --preset linux && cmake --build --preset linux)" >&2
  exit 1
fi
# shellcheck source=/dev/null
. "$native_tools"
for tool in "$native_plugin" "$native_dump" "$native_render" "$native_demo_phrase"; do
  [ -f "$tool" ] || { echo "compare-renders.sh: $tool is missing: build the Linux preset first" >&2; exit 1; }
done

rm -rf "$work"
mkdir -p "$work"
"$native_demo_phrase" "$work" >/dev/null
midi=$work/phrase.mid

case "$mode" in
  double)
    # 32 factory programs, one after another in one instance, as a host switching presets would.
    programs=32
    "$native_dump" "$native_plugin" "$midi" "$work/native.f64" $programs
    "$wine_run" "$prefix" "$program" "$dll" "$midi" "$work/windows.f64" $programs
    "$native_dump" --compare "$work/native.f64" "$work/windows.f64" 0
    cmp "$work/native.f64" "$work/windows.f64"
    ;;
  wav)
    "$native_render" --quiet "$native_plugin" "$midi" "$work/native.wav"
    "$wine_run" "$prefix" "$program" --quiet "$dll" "$midi" "$work/windows.wav"
    "$native_dump" --compare-wav "$work/native.wav" "$work/windows.wav" 0
    cmp "$work/native.wav" "$work/windows.wav"
    ;;
  *)
    echo "compare-renders.sh: unknown mode $mode" >&2
    exit 2
    ;;
esac
# The renders are large; keep them only when they differ.
rm -rf "$work"
