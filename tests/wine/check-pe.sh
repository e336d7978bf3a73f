#!/usr/bin/env bash
# Checks a Windows program or DLL of the build with objdump:
#   check-pe.sh OBJDUMP FILE [--export NAME]... [--avx-only-in REGEX]
# - it imports only DLLs that every Windows machine has (no MinGW runtime DLLs);
# - each --export NAME is in its export table;
# - with --avx-only-in, every AVX instruction (VEX or EVEX encoded, or on the
#   256- and 512-bit or mask registers) lies in a function whose name matches
#   REGEX: the rest runs on any x86-64 processor, and those functions only run
#   where the processor has what they need. It also holds at least one such
#   instruction, and no aligned move of a 32- or 64-byte vector (the stack gives
#   them no such alignment on Windows).
set -euo pipefail

if [ $# -lt 2 ]; then
  echo "usage: check-pe.sh OBJDUMP FILE [--export NAME]... [--avx-only-in REGEX]" >&2
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

avx_functions=
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
    --avx-only-in) avx_functions=$2; shift 2 ;;
    *) echo "check-pe.sh: unknown option $1" >&2; exit 2 ;;
  esac
done

if [ -n "$avx_functions" ]; then
  # Each instruction line as "function<TAB>instruction", from the demangled disassembly.
  listing=$("$objdump" -d -C --no-show-raw-insn "$file" |
    awk '/^[0-9a-f]+ <.*>:$/ { fn = $0; sub(/^[0-9a-f]+ </, "", fn); sub(/>:$/, "", fn); next }
         /^ +[0-9a-f]+:\t/ { split($0, part, "\t"); print fn "\t" part[2] }')
  avx=$(printf '%s\n' "$listing" | awk -F '\t' '$2 ~ /^v[a-z0-9]+ / || $2 ~ /%[yz]mm|%k[0-7]/')
  outside=$(printf '%s\n' "$avx" | awk -F '\t' -v keep="$avx_functions" 'NF && $1 !~ keep')
  aligned=$(printf '%s\n' "$avx" | awk -F '\t' '$2 ~ /^vmov(ap[sd]|dqa(32|64)?) / && $2 ~ /%[yz]mm/ && $2 ~ /\(/')
  count=$(printf '%s\n' "$avx" | grep -c . || true)
  if [ -n "$outside" ]; then
    echo "check-pe.sh: $file has AVX instructions outside the functions matching $avx_functions:" >&2
    printf '%s\n' "$outside" | sed -n 1,5p >&2
    status=1
  elif [ "$count" -eq 0 ]; then
    echo "check-pe.sh: $file has no AVX instructions at all, not even in $avx_functions" >&2
    status=1
  else
    echo "$file: all $count AVX instructions are in functions matching $avx_functions"
  fi
  if [ -n "$aligned" ]; then
    echo "check-pe.sh: $file moves 32- or 64-byte vectors with aligned moves:" >&2
    printf '%s\n' "$aligned" | sed -n 1,5p >&2
    status=1
  fi
fi
exit $status
