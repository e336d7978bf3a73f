// A tiny VST2 instrument for testing hosts. It shows on its output exactly what
// it received, so a test can read the host's behaviour back from a WAV file:
//   program 0 "Clicks": +velocity/127 at the sample of every note-on,
//                       -0.5 at every note-off (0x8n, or 0x9n with velocity 0);
//   program 1 "Decay":  every note-on starts a decaying 440 Hz sine (a tail to wait for);
//   program 2 "Silent": nothing.
// Parameter 0 "Gain" scales the output; parameter 1 has an overlong name and display
// text, as some foreign plug-ins write, to prove the host's string buffers.
// With FAKE_VST_LOG set, every host operation is appended to that file as one line.
//
// Built in several variants (FAKE_VARIANT) for the host's refusal paths:
//   0 the plug-in above, exported as VSTPluginMain and main
//   1 exported only as main
//   2 no entry function at all
//   3 entry returns null
//   4 entry returns a record without the VstP magic
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "host/aeffect.h"
#include "host/opcodes.h"

#ifndef FAKE_VARIANT
#define FAKE_VARIANT 0
#endif

#ifdef _WIN32
#define FAKE_EXPORT extern "C" __declspec(dllexport)
#else
#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

constexpr int kNumPrograms = 3;
constexpr int kNumParams = 2;
constexpr const char* kProgramNames[kNumPrograms] = {"Clicks", "Decay", "Silent"};
constexpr double kPi = 3.14159265358979323846;

struct Fake {
  AEffect effect;
  audioMasterCallback master = nullptr;
  double sampleRate = 44100.0;
  int program = 0;
  float params[kNumParams] = {1.0f, 0.5f};
  // Events of the current block, sorted by the host.
  int numEvents = 0;
  int eventOffset[256];
  double eventValue[256];
  bool eventIsNoteOn[256];
  // The decaying sine of program 1.
  double phase = 0.0;
  double level = 0.0;
  FILE* log = nullptr;
};

Fake* self(AEffect* e) { return static_cast<Fake*>(e->object); }

void logLine(Fake* f, const char* format, double a = 0, double b = 0) {
  if (f->log == nullptr) return;
  std::fprintf(f->log, format, a, b);
  std::fputc('\n', f->log);
  std::fflush(f->log);
}

template <typename T>
void render(Fake* f, T** outputs, VstInt32 frames) {
  for (VstInt32 i = 0; i < frames; ++i) outputs[0][i] = outputs[1][i] = 0;
  const double gain = f->params[0];
  if (f->program == 0) {
    for (int k = 0; k < f->numEvents; ++k) {
      int at = f->eventOffset[k];
      if (at >= 0 && at < frames) outputs[0][at] = outputs[1][at] = static_cast<T>(f->eventValue[k] * gain);
    }
  } else if (f->program == 1) {
    int next = 0;
    for (VstInt32 i = 0; i < frames; ++i) {
      while (next < f->numEvents && f->eventOffset[next] <= i) {
        if (f->eventIsNoteOn[next]) f->level = 0.5;
        ++next;
      }
      double v = f->level * std::sin(f->phase) * gain;
      f->phase += 2.0 * kPi * 440.0 / f->sampleRate;
      if (f->phase > 2.0 * kPi) f->phase -= 2.0 * kPi;
      f->level *= 0.9995;
      if (f->level < 1e-9) f->level = 0.0;
      outputs[0][i] = outputs[1][i] = static_cast<T>(v);
    }
  }
  f->numEvents = 0;
}

void processReplacing(AEffect* e, float** /*in*/, float** out, VstInt32 frames) {
  logLine(self(e), "process %.0f", frames);
  render(self(e), out, frames);
}

void processDoubleReplacing(AEffect* e, double** /*in*/, double** out, VstInt32 frames) {
  logLine(self(e), "processDouble %.0f", frames);
  render(self(e), out, frames);
}

void processAccumulating(AEffect*, float**, float**, VstInt32) {}

void setParameter(AEffect* e, VstInt32 index, float value) {
  Fake* f = self(e);
  logLine(f, "param %.0f %.6g", index, value);
  if (index >= 0 && index < kNumParams) f->params[index] = value;
}

float getParameter(AEffect* e, VstInt32 index) {
  return index >= 0 && index < kNumParams ? self(e)->params[index] : 0.0f;
}

void takeEvents(Fake* f, const VstEvents* events) {
  for (int k = 0; k < events->numEvents && f->numEvents < 256; ++k) {
    const VstEvent* ev = events->events[k];
    if (ev->type != kVstMidiType) continue;
    const auto* midi = reinterpret_cast<const VstMidiEvent*>(ev);
    const int status = static_cast<unsigned char>(midi->midiData[0]) & 0xF0;
    const int velocity = midi->midiData[2];
    const bool on = status == 0x90 && velocity > 0;
    const bool off = status == 0x80 || (status == 0x90 && velocity == 0);
    logLine(f, "event %.0f %.0f", ev->deltaFrames,
            (static_cast<unsigned char>(midi->midiData[0]) << 16) |
                (static_cast<unsigned char>(midi->midiData[1]) << 8) | velocity);
    if (!on && !off) continue;
    f->eventOffset[f->numEvents] = ev->deltaFrames;
    f->eventValue[f->numEvents] = on ? velocity / 127.0 : -0.5;
    f->eventIsNoteOn[f->numEvents] = on;
    ++f->numEvents;
  }
}

VstIntPtr dispatcher(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                     float opt) {
  Fake* f = self(e);
  switch (opcode) {
    case effOpen: logLine(f, "open"); return 0;
    case effClose:
      logLine(f, "close");
      if (f->log != nullptr) std::fclose(f->log);
      delete f;
      return 1;
    case effSetProgram:
      logLine(f, "program %.0f", static_cast<double>(value));
      if (value >= 0 && value < kNumPrograms) f->program = static_cast<int>(value);
      return 0;
    case effGetProgram: return f->program;
    case effGetProgramName: std::strcpy(static_cast<char*>(ptr), kProgramNames[f->program]); return 0;
    case effGetProgramNameIndexed:
      if (index < 0 || index >= kNumPrograms) return 0;
      std::strcpy(static_cast<char*>(ptr), kProgramNames[index]);
      return 1;
    case effGetParamName:
      if (index == 0) std::strcpy(static_cast<char*>(ptr), "Gain");
      // Longer than the 8 characters the interface allows; a careful host survives it.
      if (index == 1) std::strcpy(static_cast<char*>(ptr), "A Rather Long Parameter Name Indeed");
      return 0;
    case effGetParamLabel: static_cast<char*>(ptr)[0] = '\0'; return 0;
    case effGetParamDisplay:
      if (index == 0) std::snprintf(static_cast<char*>(ptr), 9, "%.2f", f->params[0]);
      if (index == 1)
        std::snprintf(static_cast<char*>(ptr), 64, "%.1f units of something long", f->params[1] * 10.0);
      return 0;
    case effSetSampleRate: f->sampleRate = opt; logLine(f, "samplerate %.0f", opt); return 0;
    case effSetBlockSize: logLine(f, "blocksize %.0f", static_cast<double>(value)); return 0;
    case effMainsChanged: logLine(f, "mains %.0f", static_cast<double>(value)); return 0;
    case effProcessEvents: takeEvents(f, static_cast<const VstEvents*>(ptr)); return 1;
    case effGetEffectName: std::strcpy(static_cast<char*>(ptr), "FakeSynth"); return 1;
    case effCanDo:
      return std::strcmp(static_cast<const char*>(ptr), "receiveVstMidiEvent") == 0 ? 1 : -1;
    case effGetPlugCategory: return kPlugCategSynth;
    case effGetVstVersion: return kVstVersion;
    default: return 0;
  }
}

[[maybe_unused]] AEffect* create(audioMasterCallback master) {
  if (master(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
#if FAKE_VARIANT == 4
  // A host cannot close a record without the magic, so this one is never freed: keep it static.
  static Fake unclosable;
  Fake* f = &unclosable;
#else
  Fake* f = new (std::nothrow) Fake();
  if (f == nullptr) return nullptr;
#endif
  if (const char* path = std::getenv("FAKE_VST_LOG")) f->log = std::fopen(path, "a");
  f->master = master;
  AEffect& e = f->effect;
  std::memset(&e, 0, sizeof e);
  e.magic = FAKE_VARIANT == 4 ? 0x12345678 : kEffectMagic;
  e.dispatcher = dispatcher;
  e.process = processAccumulating;
  e.setParameter = setParameter;
  e.getParameter = getParameter;
  e.numPrograms = kNumPrograms;
  e.numParams = kNumParams;
  e.numInputs = 0;
  e.numOutputs = 2;
  e.flags = effFlagsCanReplacing | effFlagsIsSynth | effFlagsCanDoubleReplacing;
  e.ioRatio = 1.0f;
  e.object = f;
  e.uniqueID = 0x46616B65;
  e.version = 1;
  e.processReplacing = processReplacing;
  e.processDoubleReplacing = processDoubleReplacing;
  // A call with the new record before the host has it: the host must route it by thread.
  master(&e, audioMasterUpdateDisplay, 0, 0, nullptr, 0.0f);
  char product[65] = {};
  master(&e, audioMasterGetProductString, 0, 0, product, 0.0f);
  logLine(f, "created");
  if (f->log != nullptr) std::fprintf(f->log, "host product %s\n", product), std::fflush(f->log);
  return &e;
}

}  // namespace

#if FAKE_VARIANT == 0 || FAKE_VARIANT == 4
FAKE_EXPORT AEffect* VSTPluginMain(audioMasterCallback master) { return create(master); }
#endif

#if FAKE_VARIANT == 0 || FAKE_VARIANT == 1
// "main" cannot be defined as an ordinary C++ function; the assembler gives it the name.
FAKE_EXPORT AEffect* fakeMain(audioMasterCallback master) __asm__("main");
FAKE_EXPORT AEffect* fakeMain(audioMasterCallback master) { return create(master); }
#endif

#if FAKE_VARIANT == 2
FAKE_EXPORT int fakeNotAPlugin() { return 42; }
#endif

#if FAKE_VARIANT == 3
FAKE_EXPORT AEffect* VSTPluginMain(audioMasterCallback master) {
  master(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f);
  return nullptr;
}
#endif
