#!/usr/bin/env bash
# Installs what building, testing and demoing ZYNKA needs on Debian 12.
# Idempotent: packages already present are not touched, and apt-get runs only
# when something is missing.
set -euo pipefail

packages=(
  # native build and tests
  g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev
  # the toolkit's leak check
  valgrind
  # the toolkit's Linux drawing backend and its fonts
  libcairo2-dev libfontconfig-dev fonts-liberation2
  # the editor's X11 window (libxcb); its tests drive real windows with Xlib and XTest
  libxcb1-dev libx11-dev libxtst-dev
  # the Windows build and its proof under Wine
  g++-mingw-w64-x86-64-posix wine64 xvfb xauth
  # a third-party VST2 instrument that zynka-render must host
  amsynth
  # a decimal-comma locale, to prove texts and files never follow the host's locale
  locales
  # the LV2 bundle: its headers, a host library and the tools that check it
  lv2-dev liblilv-dev lilv-utils sordi
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi

# The tests switch to locales with a decimal comma to show numbers still read "6.25".
for wanted in de_DE fr_FR; do
  if ! locale -a 2>/dev/null | grep -qi "^$wanted\.utf-\?8$"; then
    echo "setup: generating the $wanted.UTF-8 locale"
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" sed -i "s/^# *$wanted.UTF-8 UTF-8/$wanted.UTF-8 UTF-8/" /etc/locale.gen
    grep -q "^$wanted.UTF-8 UTF-8" /etc/locale.gen || echo "$wanted.UTF-8 UTF-8" | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
    "${sudo_cmd[@]}" locale-gen >/dev/null
  fi
done
