#!/usr/bin/env bash
# The bundle as the LV2 tools see it: lv2_validate (lv2-dev, with sord_validate from sordi)
# reports nothing for its Turtle files, and lv2ls (lilv-utils) finds its URI on LV2_PATH.
#
#   check_bundle.sh LV2_DIR                          (the folder holding zynka.lv2)
#   check_bundle.sh --install BUILD_DIR PREFIX       (cmake --install into PREFIX, then
#                                                     PREFIX/lib/lv2 is checked the same way)
# Exit 77 (skipped) when the tools are not installed.
set -euo pipefail
for tool in lv2_validate sord_validate lv2ls; do
  command -v "$tool" >/dev/null || { echo "check_bundle: $tool is not installed (scripts/setup.sh)"; exit 77; }
done

if [ "$1" = --install ]; then
  build=$2 prefix=$3
  rm -rf "$prefix"
  cmake --install "$build" --prefix "$prefix" >/dev/null
  dir=$prefix/lib/lv2
  for file in manifest.ttl zynka.ttl presets.ttl zynka_dsp.so zynka_ui.so; do
    [ -f "$dir/zynka.lv2/$file" ] || { echo "check_bundle: the install has no $dir/zynka.lv2/$file" >&2; exit 1; }
  done
else
  dir=$1
fi

out=$(lv2_validate "$dir"/zynka.lv2/*.ttl 2>&1)
# The script's own line about a file Debian's lv2-dev does not ship is not about the bundle.
report=$(printf '%s\n' "$out" | grep -v '^Skipping file /usr/lib/lv2/' || true)
echo "$report"
if [ -z "$report" ] || [ "$report" != "$(printf '%s\n' "$report" | grep '^Found 0 errors among')" ]; then
  echo "check_bundle: lv2_validate reported something" >&2
  exit 1
fi

listed=$(LV2_PATH="$dir" lv2ls)
echo "lv2ls: $listed"
[ "$listed" = "urn:tarnwick:zynka" ] || { echo "check_bundle: lv2ls does not list urn:tarnwick:zynka alone" >&2; exit 1; }
