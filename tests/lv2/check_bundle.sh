#!/usr/bin/env bash
# The bundle as the LV2 tools see it: lv2_validate (lv2-dev, with sord_validate from sordi)
# reports nothing for its Turtle files, and lv2ls (lilv-utils) finds its URI on LV2_PATH.
#
#   check_bundle.sh LV2_DIR     (the folder holding zynka.lv2)
# Exit 77 (skipped) when the tools are not installed.
set -euo pipefail
dir=$1
for tool in lv2_validate sord_validate lv2ls; do
  command -v "$tool" >/dev/null || { echo "check_bundle: $tool is not installed (scripts/setup.sh)"; exit 77; }
done

out=$(lv2_validate "$dir"/zynka.lv2/*.ttl 2>&1)
# The script's own line about a file Debian's lv2-dev does not ship is not about the bundle.
report=$(printf '%s\n' "$out" | grep -v '^Skipping file /usr/lib/lv2/' || true)
echo "$report"
if [ "$report" != "$(printf '%s\n' "$report" | grep '^Found 0 errors among')" ] || [ -z "$report" ]; then
  echo "check_bundle: lv2_validate reported something" >&2
  exit 1
fi

listed=$(LV2_PATH="$dir" lv2ls)
echo "lv2ls: $listed"
[ "$listed" = "urn:tarnwick:zynka" ] || { echo "check_bundle: lv2ls does not list urn:tarnwick:zynka alone" >&2; exit 1; }
