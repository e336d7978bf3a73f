#!/usr/bin/env bash
# The project's test command (CI runs exactly this): installs what is missing, then
# builds and tests the Linux plug-in and tools, then builds the Windows plug-in with
# mingw-w64 and proves it under Wine. Works from a clean clone; exits non-zero on
# the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=2
step() { printf '\n== %s\n' "$*"; }

step "setup"
scripts/setup.sh

step "Linux: configure, build, test"
cmake --preset linux
cmake --build --preset linux -j"$jobs"
ctest --preset linux

# The Windows tests compare zynka.dll's renders under Wine with build/linux's zynka.so,
# so this part comes after the Linux build.
step "Windows: cross build with mingw-w64"
cmake --preset windows
cmake --build --preset windows -j"$jobs"

step "Windows: tests under Wine (fresh prefix in build/windows/wine-prefix)"
ctest --preset windows

# The same Linux tests once more with address and undefined-behaviour sanitizers:
# any out-of-bounds access, leak or undefined operation fails the run.
step "Linux with sanitizers: configure, build, test"
cmake --preset linux-debug
cmake --build --preset linux-debug -j"$jobs"
ctest --preset linux-debug

echo
echo "test.sh: all tests passed"
