#!/usr/bin/env bash
# Builds the libFuzzer target of the program line reader, the preset and bank loaders
# and the state reader with clang, and runs it.
# Usage: tests/files/run_fuzz.sh [seconds, default 60] [work folder, default build/fuzz-files]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-60}
work=${2:-$root/build/fuzz-files}
mkdir -p "$work/corpus"
cp -n "$root"/tests/files/data/* "$work/corpus/" 2>/dev/null || true

clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize=float-cast-overflow \
  -fno-sanitize-recover=all -I"$root" -I"$root/tests/files" \
  "$root/tests/files/fuzz_program_text.cpp" "$root/tests/files/program_text_checks.cpp" \
  "$root/engine/program_text.cpp" "$root/engine/program_state.cpp" -o "$work/fuzz_program_text"

cd "$work"
./fuzz_program_text -max_total_time="$seconds" -max_len=20000 -print_final_stats=1 corpus
