// The audio calls (processEvents, processReplacing, processDoubleReplacing)
// never allocate, lock or make a system call. Proven in a child process: every
// allocation and lock function of this executable is counted, and a seccomp
// filter kills the child on any system call other than the final exit.
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/realtime_watch.h"
#include "tools/hostkit/hostkit.h"

namespace {

std::string pluginPath() {
  const char* path = std::getenv("ZYNKA_PLUGIN");
  return path && *path ? path : ZYNKA_PLUGIN_PATH;
}

struct EventList {
  std::vector<VstMidiEvent> midi;
  std::vector<unsigned char> storage;
  VstEvents* build() {
    storage.assign(sizeof(VstEvents) + midi.size() * sizeof(VstEvent*), 0);
    auto* list = reinterpret_cast<VstEvents*>(storage.data());
    list->numEvents = static_cast<VstInt32>(midi.size());
    for (std::size_t i = 0; i < midi.size(); ++i) list->events[i] = reinterpret_cast<VstEvent*>(&midi[i]);
    return list;
  }
  void add(int offset, int status, int data1, int data2) {
    VstMidiEvent e{};
    e.type = kVstMidiType;
    e.byteSize = sizeof e;
    e.deltaFrames = offset;
    e.midiData[0] = static_cast<char>(status);
    e.midiData[1] = static_cast<char>(data1);
    e.midiData[2] = static_cast<char>(data2);
    midi.push_back(e);
  }
};

TEST(Realtime, AudioCallsNeitherAllocateNorLockNorCallTheSystem) {
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::string error;
    auto library = hostkit::PluginLibrary::load(pluginPath(), error);
    if (!library) _exit(90);
    hostkit::Host host;
    AEffect* effect = host.instantiate(*library, error);
    if (!effect) _exit(91);
    host.start(effect);

    // Every kind of event the plug-in handles, prepared before watching starts.
    std::vector<EventList> lists(6);
    for (int i = 0; i < 40; ++i) lists[0].add(i * 11, 0x90, 30 + i, 100);
    lists[1].add(0, 0xB0, 64, 127);
    lists[1].add(10, 0x80, 40, 0);
    lists[1].add(20, 0xE0, 0x7F, 0x7F);
    lists[1].add(30, 0xB0, 1, 100);
    lists[1].add(40, 0xB0, 7, 90);
    lists[2].add(0, 0xB0, 64, 0);
    lists[2].add(5, 0xC0, 7, 0);  // program change: resets and recomputes on the audio thread
    lists[2].add(6, 0x90, 60, 90);
    lists[3].add(0, 0xB0, 123, 0);
    lists[4].add(0, 0xD0, 10, 0);
    std::vector<VstEvents*> built;
    for (EventList& list : lists) built.push_back(list.build());
    std::vector<float> left(512), right(512);
    std::vector<double> dleft(512), dright(512);
    float* outputs[2] = {left.data(), right.data()};
    double* doutputs[2] = {dleft.data(), dright.data()};
    effect->processReplacing(effect, nullptr, outputs, 16);  // the host's first call, unwatched

    if (!realtime_watch::forbidSystemCalls()) _exit(92);
    realtime_watch::watching = true;
    for (int block = 0; block < 60; ++block) {
      effect->dispatcher(effect, effProcessEvents, 0, 0, built[block % built.size()], 0.0f);
      if (block % 2)
        effect->processReplacing(effect, nullptr, outputs, 512);
      else
        effect->processDoubleReplacing(effect, nullptr, doutputs, 512);
    }
    realtime_watch::exitWithVerdict();
  }
  realtime_watch::expectClean(child);
}

}  // namespace
