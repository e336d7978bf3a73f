#!/usr/bin/env bash
# Runs the rendering benchmarks of zynka.so natively and of zynka.dll under Wine,
# measured the same way: render_bench (the engine, with each voice-loop kernel
# forced in its render_kernel cases) and host_bench (the plug-in library loaded
# and driven through its AEffect, as a host does), and clap_bench (zynka.clap's process
# against the VST2 library in the same run, and with a parameter value every 64 samples);
# on Linux also bench_lv2 (zynka.lv2's run() beside zynka.so, and its UI's first painted frame).
#
#   scripts/bench.sh [linux|windows|all] [--rounds N] [benchmark options]
#
# Default: all, with --benchmark_repetitions=5 and medians only. With --rounds N the
# builds take turns (Linux, Windows, Linux, Windows...) N times, each case once a
# round (for a second unless options say otherwise), and a table at the end gives each case's best real-time factor per build and
# Windows over Linux. On a shared machine the load comes and goes: interleaved rounds
# put both builds through the same spells of it, and a case's best round is its least
# disturbed one. The outputs stay in build/bench-rounds. The Windows build needs
# Google Benchmark's sources; they are taken from Debian's source package of the
# libbenchmark-dev version installed here (into build/benchmark-src).
set -euo pipefail
cd "$(dirname "$0")/.."

which=${1:-all}
[ $# -gt 0 ] && shift
rounds=0
if [ "${1:-}" = --rounds ]; then
  rounds=${2:-}
  [[ $rounds =~ ^[1-9][0-9]*$ ]] || { echo "bench.sh: --rounds takes a count" >&2; exit 2; }
  shift 2
fi
options=("$@")
if [ ${#options[@]} -eq 0 ]; then
  # Rounds time each case for a second: the real-time factor divides by processor time,
  # which Wine counts in 10 ms steps.
  if [ "$rounds" -eq 0 ]; then
    options=(--benchmark_repetitions=5 --benchmark_report_aggregates_only=true)
  else
    options=(--benchmark_min_time=1)
  fi
fi
filter=(--benchmark_filter='render_(float|double|kernel)/|host_render')
step() { printf '\n== %s\n' "$*"; }
load() { cut -d' ' -f1-3 /proc/loadavg; }
with_linux() { [ "$which" = linux ] || [ "$which" = all ]; }
with_windows() { [ "$which" = windows ] || [ "$which" = all ]; }

benchmark_source() {
  local dest=build/benchmark-src
  [ -f "$dest/CMakeLists.txt" ] && return
  local work=$PWD/build/benchmark-fetch version
  version=$(dpkg-query -W -f='${Version}' libbenchmark-dev)
  rm -rf "$work"
  mkdir -p "$work/lists/partial" "$work/sources.list.d"
  : >"$work/sources.list"
  # The source entries of the Debian archive this machine installs from, in a private
  # apt state: the system's own package lists stay as they are.
  for list in /etc/apt/sources.list.d/*.sources; do
    [ -f "$list" ] || continue
    awk 'BEGIN { RS = ""; ORS = "\n\n" } /debian-archive-keyring/ { sub(/Types: deb/, "Types: deb-src"); print }' \
      "$list" >>"$work/sources.list.d/debian-src.sources"
  done
  if [ -f /etc/apt/sources.list ]; then
    sed -n 's/^deb \(.*\)/deb-src \1/p' /etc/apt/sources.list >"$work/sources.list.d/debian-src.list"
  fi
  local apt=(apt-get -q -o "Dir::Etc::SourceList=$work/sources.list" -o "Dir::Etc::SourceParts=$work/sources.list.d"
             -o "Dir::State::Lists=$work/lists")
  "${apt[@]}" update >/dev/null
  (cd "$work" && "${apt[@]}" source --download-only "benchmark=$version" >/dev/null)
  mkdir -p "$dest"
  tar -xzf "$work"/benchmark_*.orig.tar.gz -C "$dest" --strip-components=1
  rm -rf "$work"
}

prefix=build/windows-bench/wine-prefix
if with_linux; then
  step "Linux: building zynka.so and its benchmarks"
  cmake --preset linux >/dev/null
  cmake --build --preset linux -j2 --target zynka render_bench host_bench zynka_clap clap_bench bench_lv2
fi
if with_windows; then
  step "Windows: building zynka.dll and its benchmarks"
  benchmark_source
  cmake --preset windows-bench >/dev/null
  cmake --build --preset windows-bench -j2 --target zynka render_bench host_bench zynka_clap clap_bench
  tests/wine/wine-run.sh "$prefix" --create >/dev/null
  trap 'tests/wine/wine-run.sh "$prefix" --shutdown' EXIT
fi

run_linux() {
  build/linux/bench/engine/render_bench "${filter[@]}" "${options[@]}"
  build/linux/bench/host/host_bench build/linux/zynka.so "${options[@]}"
  build/linux/bench/clap/clap_bench build/linux/zynka.so build/linux/zynka.clap "${options[@]}"
  # zynka.lv2's run() beside zynka.so, interleaved; its UI's first picture when DISPLAY names a server.
  build/linux/bench/lv2/bench_lv2 --benchmark_enable_random_interleaving=true "${options[@]}"
}
run_windows() {
  tests/wine/wine-run.sh "$prefix" build/windows-bench/bench/engine/render_bench.exe "${filter[@]}" "${options[@]}"
  tests/wine/wine-run.sh "$prefix" build/windows-bench/bench/host/host_bench.exe build/windows-bench/zynka.dll \
    "${options[@]}"
  tests/wine/wine-run.sh "$prefix" build/windows-bench/bench/clap/clap_bench.exe build/windows-bench/zynka.dll \
    build/windows-bench/zynka.clap "${options[@]}"
}

if [ "$rounds" -eq 0 ]; then
  if with_linux; then
    step "Linux: zynka.so (load: $(load))"
    run_linux
  fi
  if with_windows; then
    step "Windows: zynka.dll under Wine (load: $(load))"
    run_windows
  fi
  exit 0
fi

out=build/bench-rounds
rm -rf "$out"
mkdir -p "$out"
for round in $(seq "$rounds"); do
  if with_linux; then
    step "Round $round of $rounds, Linux: zynka.so (load: $(load))"
    run_linux | tee "$out/linux-$round.txt"
  fi
  if with_windows; then
    step "Round $round of $rounds, Windows: zynka.dll under Wine (load: $(load))"
    run_windows | tee "$out/windows-$round.txt"
  fi
done

step "Best of $rounds rounds (real-time factor; load now: $(load))"
awk '
  { sub(/\r$/, "") }
  FNR == 1 { build = FILENAME ~ /\/windows-[0-9]+\.txt$/ ? "windows" : "linux" }
  match($0, /realtime=[0-9.e+-]+[kMG]?\/s/) {
    value = substr($0, RSTART + 9, RLENGTH - 11)
    scale = value ~ /k$/ ? 1e3 : value ~ /M$/ ? 1e6 : value ~ /G$/ ? 1e9 : 1
    sub(/[kMG]$/, "", value)
    value *= scale
    if (!(($1) in seen)) { seen[$1] = 1; order[++cases] = $1 }
    if (value > best[build, $1]) best[build, $1] = value
  }
  END {
    printf "%-46s %10s %10s %12s\n", "case", "linux", "windows", "win / linux"
    for (i = 1; i <= cases; ++i) {
      name = order[i]; l = best["linux", name]; w = best["windows", name]
      printf "%-46s %10s %10s %12s\n", name, l ? sprintf("%.0f", l) : "-", w ? sprintf("%.0f", w) : "-",
        l && w ? sprintf("%.3f", w / l) : "-"
    }
  }' "$out"/*.txt
