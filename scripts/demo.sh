#!/usr/bin/env bash
# The demo: installs what is missing, builds ZYNKA with the linux preset, and renders
# the bundled MIDI phrase through a few factory programs of zynka.so with zynka-render,
# as a DAW would play them, into WAV files under out/demo/.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

scripts/setup.sh
cmake --preset linux
cmake --build --preset linux --parallel "${ZYNKA_BUILD_JOBS:-2}"

render="$root/build/linux/tools/zynka-render/zynka-render"
plugin="$root/build/linux/zynka.so"
midi="$root/resources/demo"
out="$root/out/demo"
mkdir -p "$out"

# program number, MIDI file, output name, what is heard
renders=(
  "0|phrase.mid|00-bright-epiano.wav|Bright E.Piano: chords with sustain pedal and the melody"
  "10|phrase.mid|10-space-pad.wav|Space Pad: the same phrase as a pad"
  "16|melody.mid|16-trumpet.wav|Trumpet: the melody with its pitch-bend scoop"
  "20|melody.mid|20-violin.wav|Violin: the melody"
  "22|bass.mid|22-e-bass.wav|E.Bass: the bass line"
)

echo
echo "demo: rendering $(basename "$midi")/*.mid through $plugin"
for entry in "${renders[@]}"; do
  IFS='|' read -r program file name what <<<"$entry"
  echo "demo: program $program, $what"
  "$render" --quiet --program "$program" "$plugin" "$midi/$file" "$out/$name"
done
echo "demo: ${#renders[@]} WAV files are in $out"
