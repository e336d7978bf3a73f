// Every engine constant in one place, with the reason for its value.
#pragma once

namespace zynka {

/// Voices: each is a carrier with its own FM modulator; a 33rd note steals the quietest.
inline constexpr int kNumVoices = 32;
/// Program slots: 32 factory presets, the rest "Empty".
inline constexpr int kNumPrograms = 99;
inline constexpr int kNumFactoryPresets = 32;
/// Automatable parameters, in the host's order (the parameter index).
inline constexpr int kNumParams = 17;
/// Program names hold at most this many characters (plus a terminating zero).
inline constexpr int kProgramNameLength = 24;

/// The event queue: 128 integers holding (offset, note code, velocity) triplets
/// and the end mark. At most 40 triplets are kept per event list.
inline constexpr int kEventQueueSize = 128;
inline constexpr int kMaxQueuedNoteEvents = 40;
/// The last entry the end mark may take; a triplet written past it is taken back.
inline constexpr int kEventQueueLimit = 3 * kMaxQueuedNoteEvents;
/// Marks the end of the queued triplets; larger than any block, so it closes the last segment.
inline constexpr int kEventQueueEnd = 99999999;
/// Note code of the pedal-release triplet: releases every voice the sustain pedal holds.
inline constexpr int kSustainNote = 128;

/// A voice below this amplitude target is not rendered and is retired at block end
/// (about -70 dB: inaudible, and it keeps decaying voices out of subnormal range).
inline constexpr double kSilenceThreshold = 0.0003;
/// The vibrato oscillator steps once every this many samples plus one.
inline constexpr int kVibratoInterval = 100;
/// Channel volume after a reset: the value controller 7 at 100 gives (100 * 100 * 3.5e-7).
inline constexpr double kDefaultChannelVolume = 0.0035;
/// Frequency of MIDI note 0 in Hz.
inline constexpr double kMidiNote0Hz = 8.175798915644;
/// ln 2 / 12: one semitone as an exponent of e.
inline constexpr double kSemitone = 0.05776226505;

/// Phase values beyond this are brought back to -1..1 in one step rather than by
/// repeated subtraction; no parameter setting within 0..1 at a sane sample rate gets there.
inline constexpr double kFarPhase = 64.0;
/// The coupled-form vibrato oscillator keeps its amplitude for angle steps below 2
/// and grows without bound (until it overflows) from 2 on. Only Vib Rate above about
/// 2.37 at 44.1 kHz, or 1 below about 7.9 kHz, gets there; such steps are held at
/// kMaxVibratoRate instead.
inline constexpr double kUnstableVibratoRate = 2.0;
inline constexpr double kMaxVibratoRate = 1.9;

/// The plug-in's identity towards the host.
inline constexpr int kUniqueId = 0x2D535E31;  // "-S^1"
inline constexpr int kVendorVersion = 1000;
inline constexpr const char* kEffectName = "ZYNKA";
inline constexpr const char* kProductName = "ZYNKA";
inline constexpr const char* kVendorName = "Tarnwick";

}  // namespace zynka
