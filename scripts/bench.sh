#!/usr/bin/env bash
# Runs the rendering benchmarks of zynka.so natively and of zynka.dll under Wine,
# measured the same way: render_bench (the engine, with each voice-loop kernel
# forced in its render_kernel cases) and host_bench (the plug-in library loaded
# and driven through its AEffect, as a host does), and clap_bench (zynka.clap's process
# against the VST2 library in the same run, and with a parameter value every 64 samples).
#
#   scripts/bench.sh [linux|windows|all] [benchmark options]
#
# Default: all, with --benchmark_repetitions=5 and medians only. The Windows
# build needs Google Benchmark's sources; they are taken from Debian's source
# package of the libbenchmark-dev version installed here (into build/benchmark-src).
set -euo pipefail
cd "$(dirname "$0")/.."

which=${1:-all}
[ $# -gt 0 ] && shift
options=("$@")
[ ${#options[@]} -gt 0 ] || options=(--benchmark_repetitions=5 --benchmark_report_aggregates_only=true)
filter=(--benchmark_filter='render_(float|double|kernel)/|host_render')
step() { printf '\n== %s\n' "$*"; }

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

if [ "$which" = linux ] || [ "$which" = all ]; then
  step "Linux: zynka.so (load: $(cut -d' ' -f1-3 /proc/loadavg))"
  cmake --preset linux >/dev/null
  cmake --build --preset linux -j2 --target zynka render_bench host_bench zynka_clap clap_bench
  build/linux/bench/engine/render_bench "${filter[@]}" "${options[@]}"
  build/linux/bench/host/host_bench build/linux/zynka.so "${options[@]}"
  build/linux/bench/clap/clap_bench build/linux/zynka.so build/linux/zynka.clap "${options[@]}"
fi

if [ "$which" = windows ] || [ "$which" = all ]; then
  step "Windows: zynka.dll under Wine (load: $(cut -d' ' -f1-3 /proc/loadavg))"
  benchmark_source
  cmake --preset windows-bench >/dev/null
  cmake --build --preset windows-bench -j2 --target zynka render_bench host_bench zynka_clap clap_bench
  prefix=build/windows-bench/wine-prefix
  tests/wine/wine-run.sh "$prefix" --create >/dev/null
  trap 'tests/wine/wine-run.sh "$prefix" --shutdown' EXIT
  tests/wine/wine-run.sh "$prefix" build/windows-bench/bench/engine/render_bench.exe "${filter[@]}" "${options[@]}"
  tests/wine/wine-run.sh "$prefix" build/windows-bench/bench/host/host_bench.exe build/windows-bench/zynka.dll \
    "${options[@]}"
  tests/wine/wine-run.sh "$prefix" build/windows-bench/bench/clap/clap_bench.exe build/windows-bench/zynka.dll \
    build/windows-bench/zynka.clap "${options[@]}"
fi
