#!/usr/bin/env bash
# Checks a Windows program or DLL of the build with objdump:
#   check-pe.sh OBJDUMP FILE [--export NAME]... [--sse2-only]
# - it imports only DLLs that every Windows machine has (no MinGW runtime DLLs);
# - each --export NAME is in its export table;
# - with --sse2-only, no instruction uses the 256- or 512-bit AVX registers.
set -euo pipefail

if [ $# -lt 2 ]; then
  echo "usage: check-pe.sh OBJDUMP FILE [--export NAME]... [--sse2-only]" >&2
  exit 2
fi
objdump=$1
file=$2
shift 2
[ -f "$file" ] || { echo "check-pe.sh: $file does not exist" >&2; exit 1; }

headers=$("$objdump" -p "$file")
status=0

# The Windows system DLLs a plug-in or tool may import, whatever Windows it runs on.
system_dll='^(kernel32|user32|gdi32|gdiplus|advapi32|shell32|shlwapi|ole32|oleaut32|comdlg32|comctl32|uxtheme|imm32|winmm|version|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]+)\.dll$'
imports=$(printf '%s\n' "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p')
if [ -z "$imports" ]; then
  echo "check-pe.sh: $file imports no DLLs at all: not a PE file objdump understands?" >&2
  status=1
fi
echo "$file imports: $(echo $imports)"
while read -r dll; do
  [ -n "$dll" ] || continue
  if ! grep -Eq "$system_dll" <<<"$(tr 'A-Z' 'a-z' <<<"$dll")"; then
    echo "check-pe.sh: $file imports $dll, which is not a Windows system DLL" >&2
    status=1
  fi
done <<<"$imports"

sse2_only=0
while [ $# -gt 0 ]; do
  case "$1" in
    --export)
      # Export table lines read "[   0] VSTPluginMain" (ordinal/name pointer table).
      if grep -Eq "^[[:space:]]*\[[[:space:]]*[0-9]+\] $2\$" <<<"$headers"; then
        echo "$file exports $2"
      else
        echo "check-pe.sh: $file does not export $2" >&2
        status=1
      fi
      shift 2
      ;;
    --sse2-only) sse2_only=1; shift ;;
    *) echo "check-pe.sh: unknown option $1" >&2; exit 2 ;;
  esac
done

if [ "$sse2_only" = 1 ]; then
  wide=$("$objdump" -d --no-show-raw-insn "$file" | grep -Ec '%[yz]mm[0-9]' || true)
  if [ "$wide" -ne 0 ]; then
    echo "check-pe.sh: $file has $wide instructions on AVX registers; the build must stay baseline SSE2" >&2
    "$objdump" -d --no-show-raw-insn "$file" | grep -E '%[yz]mm[0-9]' | head -5 >&2
    status=1
  else
    echo "$file uses no AVX registers"
  fi
fi
exit $status
