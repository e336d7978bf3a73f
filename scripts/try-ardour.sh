#!/usr/bin/env bash
# Tries ZYNKA in Ardour 7 without a display or a sound card: Ardour's own Lua
# interpreter (ardour7-lua, Debian's `ardour` package) creates a session with the
# "None (Dummy)" audio backend, adds a MIDI track with ZYNKA as its instrument,
# plays a short phrase through it, exports the session to a WAV file and checks
# that the file is not silent.
#
#   scripts/try-ardour.sh [PLUGIN.so] [OUT_DIR]          the VST2 plug-in, zynka.so
#   scripts/try-ardour.sh lv2 [ZYNKA.LV2] [OUT_DIR]      the LV2 bundle, zynka.lv2
#
# PLUGIN.so defaults to build/linux/zynka.so, ZYNKA.LV2 to build/linux/lib/lv2/zynka.lv2,
# OUT_DIR to out/ardour (out/ardour-lv2 for the bundle). Everything Ardour writes (its
# settings, plug-in cache, the session) stays in OUT_DIR: the script runs Ardour with
# HOME=OUT_DIR/home, so your own Ardour settings are not touched. The LV2 run also chooses
# the factory preset "Space Pad" in Ardour's preset list and checks that it set the
# parameters. Needs `sudo apt-get install ardour` (Ardour 7.3 on Debian 12).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
kind=vst2
if [ "${1:-}" = lv2 ]; then
  kind=lv2
  shift
  plugin="$(realpath "${1:-$root/build/linux/lib/lv2/zynka.lv2}")"
  out="$(realpath -m "${2:-$root/out/ardour-lv2}")"
else
  plugin="$(realpath "${1:-$root/build/linux/zynka.so}")"
  out="$(realpath -m "${2:-$root/out/ardour}")"
fi
scanner=/usr/lib/ardour7/ardour-vst-scanner

[ -e "$plugin" ] || { echo "try-ardour: no plug-in at $plugin (build it first)" >&2; exit 1; }
command -v ardour7-lua >/dev/null && [ -x "$scanner" ] ||
  { echo "try-ardour: Ardour 7 is not installed (sudo apt-get install ardour)" >&2; exit 1; }

rm -rf "$out"
mkdir -p "$out/home/.config/ardour7/scripts"
export HOME="$out/home"
if [ "$kind" = lv2 ]; then
  # Ardour finds LV2 bundles on LV2_PATH; it files an instrument as one only when it also
  # sees the bundles of the LV2 vocabularies (lv2-dev) in /usr/lib/lv2.
  mkdir -p "$out/lv2"
  cp -r "$plugin" "$out/lv2/zynka.lv2"
  export LV2_PATH="$out/lv2:/usr/lib/lv2"
else
  mkdir -p "$out/vst"
  cp "$plugin" "$out/vst/zynka.so"
  # Ardour trusts its plug-in cache only when the cache is newer than the library, by
  # whole seconds; the copy is dated a minute back so the scan below always counts.
  touch -d '1 minute ago' "$out/vst/zynka.so"
  export LXVST_PATH="$out/vst"
fi

# Ardour hides its Dummy backend unless told otherwise.
cat >"$HOME/.config/ardour7/config" <<'EOF2'
<?xml version="1.0" encoding="UTF-8"?>
<Ardour>
  <Config>
    <Option name="hide-dummy-backend" value="0"/>
  </Config>
</Ardour>
EOF2

# A small Lua MIDI processor that plays a phrase while the transport rolls; it is
# put in front of ZYNKA on the track.
cat >"$HOME/.config/ardour7/scripts/zynka_test_notes.lua" <<'EOF'
ardour { ["type"] = "dsp", name = "ZYNKA test notes", category = "Utility",
         description = "Plays a C major phrase while the transport rolls" }
function dsp_ioconfig () return { { midi_in = 1, midi_out = 1, audio_in = 0, audio_out = 0 } } end
local sr = 48000
function dsp_init (rate) sr = rate end
local phrase = { -- start, length (seconds), note, velocity
  { 0.0, 0.45, 60, 100 }, { 0.5, 0.45, 64, 100 }, { 1.0, 0.45, 67, 100 },
  { 1.5, 1.5, 72, 110 }, { 1.5, 1.5, 64, 90 }, { 1.5, 1.5, 55, 90 } }
function dsp_run (_, _, n_samples)
  local out = {}
  for _, e in pairs (midiin) do out[#out + 1] = e end
  if Session:transport_rolling () then
    local pos = Session:transport_sample ()
    for _, n in ipairs (phrase) do
      local on = math.floor (n[1] * sr)
      local off = math.floor ((n[1] + n[2]) * sr)
      if on >= pos and on < pos + n_samples then
        out[#out + 1] = { time = on - pos + 1, data = { 0x90, n[3], n[4] } }
      end
      if off >= pos and off < pos + n_samples then
        out[#out + 1] = { time = off - pos + 1, data = { 0x80, n[3], 0 } }
      end
    end
  end
  table.sort (out, function (a, b) return a.time < b.time end)
  for k, e in ipairs (out) do midiout[k] = e end
end
EOF

cat >"$out/session.lua" <<'EOF'
io.stdout:setvbuf("no")
local dir, kind, name, rate = arg[1], arg[2], "zynka-try", 48000

assert(AudioEngine:set_backend("None (Dummy)", "", ""), "no Dummy audio backend")
assert(create_session(dir, name, rate), "could not create the session in " .. dir)

local pi = ARDOUR.LuaAPI.new_plugin_info("ZYNKA", kind == "lv2" and ARDOUR.PluginType.LV2 or ARDOUR.PluginType.LXVST)
assert(not pi:isnil(), "Ardour does not know ZYNKA (the plug-in scan found nothing)")
print("try-ardour: plug-in " .. pi.name .. " by " .. pi.creator .. ", " .. pi.path)

local track = Session:new_midi_track(
  ARDOUR.ChanCount(ARDOUR.DataType("midi"), 1), ARDOUR.ChanCount(ARDOUR.DataType("audio"), 2),
  true, pi, nil, nil, 1, "ZYNKA", ARDOUR.PresentationInfo.max_order,
  ARDOUR.TrackMode.Normal, true, false):front()
assert(track and not track:nth_plugin(0):isnil(), "could not add a MIDI track with ZYNKA")

if kind == "lv2" then
  -- A factory preset from Ardour's preset list sets the parameters (Space Pad: Vib Amt 0.25).
  local insert = track:nth_plugin(0)
  local plugin = insert:to_insert():plugin(0)
  local preset = plugin:preset_by_label("Space Pad")
  assert(preset, "Ardour lists no preset \"Space Pad\"")
  assert(plugin:load_preset(preset), "Ardour could not load the preset")
  local vibAmt = ARDOUR.LuaAPI.get_processor_param(insert, 1, true)
  print(string.format("try-ardour: preset %s, Vib Amt %.3f", preset.label, vibAmt))
  assert(math.abs(vibAmt - 0.25) < 1e-6, "the preset did not set Vib Amt")
end

local notes = ARDOUR.LuaAPI.new_luaproc(Session, "ZYNKA test notes")
assert(not notes:isnil(), "could not load the note processor")
assert(track:add_processor_by_index(notes, 0, nil, true) == 0, "could not insert the note processor")
Session:save_state("", false, false, false, false, false)

local ex = Session:simple_export()
ex:set_name(name)
ex:set_folder(dir .. "/export")
ex:set_range(0, 5 * rate)
ex:set_preset("75969a1c-3133-4694-864b-a1fa50e43348") -- Ardour's "WAV @ session-rate"
assert(ex:run_export(), "the export failed")
close_session()

-- The exported file must not be silent: its peak, read from the WAV's data chunk.
local wav = dir .. "/export/" .. name .. ".wav"
local f = assert(io.open(wav, "rb"), "no exported file " .. wav)
local data = f:read("a")
f:close()
local pos, bits, fmt, peak = 13, nil, nil, 0
while pos + 8 <= #data do
  local id, size = data:sub(pos, pos + 3), string.unpack("<I4", data, pos + 4)
  if id == "fmt " then
    fmt, bits = string.unpack("<I2", data, pos + 8), string.unpack("<I2", data, pos + 22)
  elseif id == "data" then
    local step = bits // 8
    for p = pos + 8, pos + 7 + size - step + 1, step do
      local v
      if fmt == 3 and bits == 32 then v = string.unpack("<f", data, p)
      elseif fmt == 1 then v = string.unpack("<i" .. step, data, p) / (1 << (bits - 1))
      else error("unexpected WAV format " .. tostring(fmt) .. "/" .. tostring(bits)) end
      if math.abs(v) > peak then peak = math.abs(v) end
    end
  end
  pos = pos + 8 + size + size % 2
end
print(string.format("try-ardour: %s, peak %.3f (%.1f dBFS)", wav, peak,
                    peak > 0 and 20 * math.log(peak, 10) or -math.huge))
assert(peak > 0.01, "the exported file is silent")
EOF

if [ "$kind" = vst2 ]; then
  echo "try-ardour: indexing $out/vst/zynka.so with Ardour's plug-in scanner"
  LD_LIBRARY_PATH=/usr/lib/ardour7 "$scanner" -q -f "$out/vst/zynka.so"
fi
ardour7-lua "$out/session.lua" "$out/session" "$kind"
echo "try-ardour: ZYNKA played in Ardour; the session is in $out/session"
