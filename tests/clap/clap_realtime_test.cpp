// zynka.clap's audio-thread calls (process, and params.flush while active) never allocate,
// lock or make a system call, whatever the host's events: proven in a child process as for
// the VST2 library (tests/realtime_guard.h).
#include <string>
#include <vector>

#include "tests/realtime_guard.h"
#include "tools/hostkit/claphost.h"

namespace {

using claphost::InputEvents;
using claphost::midiEvent;
using claphost::noteEvent;
using claphost::paramValueEvent;

TEST(ClapRealtime, ProcessAndFlushNeitherAllocateNorLockNorCallTheSystem) {
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::string error;
    auto library = claphost::Library::load(ZYNKA_CLAP_PATH, error);
    if (!library) _exit(90);
    claphost::Host host;
    auto instance = claphost::Instance::create(*library, host, "com.tarnwick.zynka", error);
    if (!instance || !instance->start(44100.0, 512)) _exit(91);
    const auto* params = instance->extension<clap_plugin_params_t>(CLAP_EXT_PARAMS);
    const auto* state = instance->extension<clap_plugin_state_t>(CLAP_EXT_STATE);

    // Every kind of event the plug-in handles, prepared before watching starts.
    std::vector<InputEvents> lists(6);
    for (int i = 0; i < 50; ++i)  // more note events than the plug-in's list holds
      lists[0].add(
          noteEvent(CLAP_EVENT_NOTE_ON, static_cast<std::uint32_t>(i * 10), static_cast<std::int16_t>(30 + i), 0.7, i));
    for (std::uint32_t t = 0; t < 512; t += 64) lists[1].add(paramValueEvent(t, t / 64, 0.3 + t / 2048.0));
    lists[1].add(midiEvent(70, 0xB0, 64, 127));
    lists[1].add(midiEvent(80, 0xE0, 0x7F, 0x7F));
    lists[1].add(noteEvent(CLAP_EVENT_NOTE_OFF, 90, -1, 0.0, 3));  // by id
    lists[1].add(noteEvent(CLAP_EVENT_NOTE_OFF, 95, 40));
    lists[2].add(midiEvent(0, 0xB0, 64, 0));
    lists[2].add(midiEvent(5, 0xC0, 7, 0));  // program change: resets and recomputes on the audio thread
    lists[2].add(noteEvent(CLAP_EVENT_NOTE_ON, 6, 60, 0.9, 77));
    lists[2].add(noteEvent(CLAP_EVENT_NOTE_CHOKE, 300, 60, 0.0, 77));
    lists[3].add(midiEvent(0, 0xB0, 123, 0));
    lists[4].add(midiEvent(0, 0xD0, 10, 0));
    std::vector<float> left(512), right(512);
    std::vector<double> dleft(512), dright(512);
    claphost::OutputEvents out;
    instance->process(16, lists[5], out, left.data(), right.data());  // the host's first call, unwatched

    // A state loaded while active waits for the audio thread, which applies it watched.
    claphost::MemoryStreams saved;
    saved.chunk = 1 << 20;
    clap_ostream_t ostream = saved.out();
    clap_istream_t istream = saved.in();
    if (!state->save(instance->plugin(), &ostream) || !state->load(instance->plugin(), &istream)) _exit(92);

    if (!realtime_guard::forbidSystemCalls()) _exit(93);
    realtime_guard::watching = true;
    for (int block = 0; block < 60; ++block) {
      out.clear();
      const InputEvents& in = lists[block % lists.size()];
      if (block % 2)
        instance->process(512, in, out, left.data(), right.data());
      else
        instance->process(512, in, out, dleft.data(), dright.data());
    }
    instance->plugin()->stop_processing(instance->plugin());  // flush comes only between runs of process
    params->flush(instance->plugin(), lists[1].list(), out.list());
    realtime_guard::endWatching();
  }
  realtime_guard::expectCleanChild(child, "process");
}

}  // namespace
