// run() never allocates, locks or makes a system call, with the ports changing, every kind
// of MIDI message the plug-in reads (and some it skips), a program change, and an editor
// session attached as the UI attaches one. Proven as for the VST2 entry points
// (tests/host/realtime_test.cpp): in a child process, with counting wrappers and seccomp.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <lv2/atom/atom.h>
#include <lv2/atom/util.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>
#include <lv2/urid/urid.h>

#include <map>
#include <string>
#include <vector>

#include "lv2/bundle.h"
#include "lv2/editor_access.h"
#include "tests/realtime_guard.h"

namespace {

std::map<std::string, LV2_URID> uris;

LV2_URID map(LV2_URID_Map_Handle, const char* uri) {
  return uris.try_emplace(uri, static_cast<LV2_URID>(uris.size() + 1)).first->second;
}

/// An atom sequence of MIDI messages (frame, bytes), built before watching starts.
std::vector<std::uint64_t> sequence(const std::vector<std::pair<std::uint32_t, std::vector<unsigned char>>>& messages) {
  std::vector<std::uint64_t> buffer(1024);
  auto* seq = reinterpret_cast<LV2_Atom_Sequence*>(buffer.data());
  seq->atom.type = map(nullptr, LV2_ATOM__Sequence);
  seq->atom.size = sizeof(LV2_Atom_Sequence_Body);
  for (const auto& [frame, bytes] : messages) {
    struct {
      LV2_Atom_Event event;
      unsigned char data[16];
    } event{};
    event.event.time.frames = frame;
    event.event.body.type = map(nullptr, LV2_MIDI__MidiEvent);
    event.event.body.size = static_cast<std::uint32_t>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), event.data);
    lv2_atom_sequence_append_event(seq, static_cast<std::uint32_t>(buffer.size() * 8 - sizeof(LV2_Atom)), &event.event);
  }
  return buffer;
}

void noWrite(void*, int, float) {}
void noTouch(void*, int, bool) {}

TEST(Lv2Realtime, RunNeitherAllocatesNorLocksNorCallsTheSystem) {
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const std::string path = std::string(ZYNKA_LV2_BUNDLE) + "/" + zynka::lv2::kDspBinary;
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    auto entry =
        library ? reinterpret_cast<const LV2_Descriptor* (*)(uint32_t)>(dlsym(library, "lv2_descriptor")) : nullptr;
    const LV2_Descriptor* descriptor = entry ? entry(0) : nullptr;
    if (!descriptor) _exit(90);
    LV2_URID_Map uridMap{nullptr, map};
    const LV2_Feature mapFeature{LV2_URID__map, &uridMap};
    const LV2_Feature* features[] = {&mapFeature, nullptr};
    LV2_Handle handle = descriptor->instantiate(descriptor, 48000.0, ZYNKA_LV2_BUNDLE, features);
    if (!handle) _exit(91);

    float controls[zynka::kNumParams];
    for (int i = 0; i < zynka::kNumParams; ++i) controls[i] = 0.5f;
    std::vector<float> left(512), right(512);
    float voices = 0;
    for (int i = 0; i < zynka::kNumParams; ++i) descriptor->connect_port(handle, i, &controls[i]);
    descriptor->connect_port(handle, zynka::lv2::kLeftOutPort, left.data());
    descriptor->connect_port(handle, zynka::lv2::kRightOutPort, right.data());
    descriptor->connect_port(handle, zynka::lv2::kVoicesPort, &voices);

    // The editor session a UI attaches (not opened: no window on this side).
    const auto* access =
        static_cast<const zynka::lv2::EditorAccess*>(descriptor->extension_data(zynka::lv2::kEditorAccessUri));
    const zynka::lv2::UiLink link{nullptr, noWrite, noTouch};
    zynka::lv2::EditorSession* session = access ? access->attach(handle, &link) : nullptr;
    if (!session) _exit(93);

    std::vector<std::vector<std::uint64_t>> blocks;
    std::vector<std::pair<std::uint32_t, std::vector<unsigned char>>> notes;
    for (unsigned i = 0; i < 45; ++i) notes.push_back({i * 11, {0x90, static_cast<unsigned char>(30 + i), 100}});
    blocks.push_back(sequence(notes));
    blocks.push_back(sequence({{0, {0xB0, 64, 127}},
                               {10, {0x80, 40, 0}},
                               {20, {0xE0, 0x7F, 0x7F}},
                               {30, {0xB0, 1, 100}},
                               {40, {0xB0, 7, 90}},
                               {50, {0xD0, 10}}}));
    blocks.push_back(sequence({{0, {0xB0, 64, 0}}, {5, {0xC0, 7}}, {6, {0x90, 60, 90}}}));
    blocks.push_back(sequence({{0, {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}}, {1, {0xB0, 123, 0}}, {2, {0xFE}}}));
    blocks.push_back(sequence({}));
    descriptor->activate(handle);
    descriptor->connect_port(handle, zynka::lv2::kMidiInPort, blocks[4].data());
    descriptor->run(handle, 16);  // the host's first call, unwatched

    if (!realtime_guard::forbidSystemCalls()) _exit(92);
    realtime_guard::watching = true;
    for (int block = 0; block < 60; ++block) {
      controls[block % zynka::kNumParams] = static_cast<float>(block % 7) / 7.0f;
      descriptor->connect_port(handle, zynka::lv2::kMidiInPort, blocks[block % blocks.size()].data());
      descriptor->run(handle, 512);
    }
    realtime_guard::endWatching();
  }
  realtime_guard::expectCleanChild(child, "run()");
}

}  // namespace
