// Proves the host kit as a DAW-like host: loading, the entry function, the refusal of
// libraries that are not VST2 plug-ins, the routing of callbacks made during and after
// construction, and its answers. Runs against the fake plug-in variants built beside
// this test.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "tools/hostkit/hostkit.h"

using hostkit::Host;
using hostkit::HostCall;
using hostkit::PluginLibrary;

namespace {

std::unique_ptr<PluginLibrary> mustLoad(const char* path) {
  std::string error;
  auto lib = PluginLibrary::load(path, error);
  EXPECT_NE(lib, nullptr) << error;
  return lib;
}

void setEnv(const char* name, const char* value) {
#ifdef _WIN32
  _putenv_s(name, value);
#else
  if (value[0] == '\0')
    unsetenv(name);
  else
    setenv(name, value, 1);
#endif
}

}  // namespace

TEST(PluginLibrary, RefusesWhatCannotBeLoadedWithOneLine) {
  std::string error;
  EXPECT_EQ(PluginLibrary::load("/nonexistent/plugin.so", error), nullptr);
  EXPECT_NE(error.find("/nonexistent/plugin.so"), std::string::npos);
  EXPECT_EQ(error.find('\n'), std::string::npos);

  error.clear();
  EXPECT_EQ(PluginLibrary::load(TEXT_FILE_PATH, error), nullptr);
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(error.find('\n'), std::string::npos);
}

TEST(PluginLibrary, FindsEitherEntryName) {
  auto both = mustLoad(FAKE_PLUGIN_PATH);
  ASSERT_NE(both, nullptr);
  EXPECT_NE(both->entry(), nullptr);
  EXPECT_EQ(reinterpret_cast<void*>(both->entry()), both->symbol("VSTPluginMain"));
  EXPECT_EQ(both->symbol("noSuchSymbol"), nullptr);

  auto mainOnly = mustLoad(FAKE_MAIN_ONLY_PATH);
  ASSERT_NE(mainOnly, nullptr);
  EXPECT_EQ(mainOnly->symbol("VSTPluginMain"), nullptr);
  EXPECT_NE(mainOnly->entry(), nullptr);
  Host host;
  std::string error;
  AEffect* effect = host.instantiate(*mainOnly, error);
  ASSERT_NE(effect, nullptr) << error;
  host.close(effect);
}

TEST(Host, RefusesLibrariesThatAreNotPlugins) {
  struct Case {
    const char* path;
    const char* why;
  };
  for (Case c : {Case{FAKE_NO_ENTRY_PATH, "neither VSTPluginMain nor main"},
                 Case{FAKE_NULL_ENTRY_PATH, "returned no effect"},
                 Case{FAKE_BAD_MAGIC_PATH, "magic"}}) {
    auto lib = mustLoad(c.path);
    ASSERT_NE(lib, nullptr);
    Host host;
    std::string error;
    EXPECT_EQ(host.instantiate(*lib, error), nullptr) << c.path;
    EXPECT_NE(error.find(c.why), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos);
  }
}

TEST(Host, VersionZeroGetsNoPlugin) {
  auto lib = mustLoad(FAKE_PLUGIN_PATH);
  Host host;
  host.versionAnswer = 0;
  std::string error;
  EXPECT_EQ(host.instantiate(*lib, error), nullptr);
  ASSERT_EQ(host.calls().size(), 1u);
  EXPECT_EQ(host.calls()[0].opcode, audioMasterVersion);
  EXPECT_TRUE(host.calls()[0].effectWasNull);
}

TEST(Host, RoutesCallsDuringAndAfterConstruction) {
  auto lib = mustLoad(FAKE_PLUGIN_PATH);
  Host first, second;
  std::string error;
  AEffect* a = first.instantiate(*lib, error);
  ASSERT_NE(a, nullptr) << error;
  AEffect* b = second.instantiate(*lib, error);
  ASSERT_NE(b, nullptr) << error;
  EXPECT_EQ(a->magic, kEffectMagic);
  EXPECT_EQ(a->user, &first);

  // The fake asks for the version with no effect, then calls with its new record
  // before the entry has returned: both land in the host that instantiates.
  ASSERT_GE(first.calls().size(), 3u);
  EXPECT_EQ(first.calls()[0].opcode, audioMasterVersion);
  EXPECT_TRUE(first.calls()[0].effectWasNull);
  EXPECT_EQ(first.calls()[1].opcode, audioMasterUpdateDisplay);
  EXPECT_FALSE(first.calls()[1].effectWasNull);
  EXPECT_EQ(first.calls()[2].opcode, audioMasterGetProductString);
  EXPECT_EQ(first.calls().size(), second.calls().size());

  // Later calls go by record to their own host.
  first.clearCalls();
  second.clearCalls();
  first.sampleRate = 48000.0f;
  second.blockSize = 64;
  EXPECT_EQ(Host::callback(a, audioMasterGetSampleRate, 0, 0, nullptr, 0.0f), 48000);
  EXPECT_EQ(Host::callback(b, audioMasterGetBlockSize, 0, 0, nullptr, 0.0f), 64);
  EXPECT_EQ(Host::callback(a, audioMasterAutomate, 7, 0, nullptr, 0.25f), 0);
  ASSERT_EQ(first.calls().size(), 2u);
  ASSERT_EQ(second.calls().size(), 1u);
  EXPECT_EQ(first.calls()[1].index, 7);
  EXPECT_FLOAT_EQ(first.calls()[1].opt, 0.25f);
  EXPECT_EQ(first.countCalls(audioMasterAutomate), 1u);

  first.close(a);
  second.close(b);
}

TEST(Host, AnswersLikeASimpleHost) {
  Host host;
  char text[256];
  std::memset(text, 'x', sizeof text);
  // No effect and no instantiation running: still answered, recorded nowhere.
  EXPECT_EQ(Host::callback(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f), 2400);
  EXPECT_EQ(Host::callback(nullptr, audioMasterGetVendorString, 0, 0, text, 0.0f), 1);
  EXPECT_STREQ(text, "ZYNKA");
  EXPECT_EQ(Host::callback(nullptr, audioMasterGetProductString, 0, 0, text, 0.0f), 1);
  EXPECT_STREQ(text, "zynka-render");
  EXPECT_EQ(Host::callback(nullptr, audioMasterGetTime, 0, 0, nullptr, 0.0f), 0);
  EXPECT_EQ(Host::callback(nullptr, audioMasterIdle, 0, 0, nullptr, 0.0f), 0);
  char canDo[] = "sendVstEvents";
  EXPECT_EQ(Host::callback(nullptr, audioMasterCanDo, 0, 0, canDo, 0.0f), 1);
  EXPECT_EQ(hostkit::hostCanDo("sendVstMidiEvent"), 1);
  EXPECT_EQ(hostkit::hostCanDo("sendVstTimeInfo"), -1);
  EXPECT_EQ(hostkit::hostCanDo("sizeWindow"), -1);
  EXPECT_EQ(hostkit::hostCanDo("somethingNobodyKnows"), 0);
  EXPECT_EQ(hostkit::hostCanDo(nullptr), 0);
  EXPECT_TRUE(host.calls().empty());
}

TEST(Host, StartAndCloseDriveTheEffect) {
  auto lib = mustLoad(FAKE_PLUGIN_PATH);
  std::string logPath = ::testing::TempDir() + "hostkit_fake.log";
  std::remove(logPath.c_str());
  setEnv("FAKE_VST_LOG", logPath.c_str());
  Host host;
  host.sampleRate = 48000.0f;
  host.blockSize = 128;
  std::string error;
  AEffect* effect = host.instantiate(*lib, error);
  setEnv("FAKE_VST_LOG", "");
  ASSERT_NE(effect, nullptr) << error;
  host.start(effect);
  EXPECT_EQ(host.dispatch(effect, effGetPlugCategory), kPlugCategSynth);
  host.close(effect);

  std::ifstream in(logPath);
  std::stringstream all;
  all << in.rdbuf();
  EXPECT_EQ(all.str(),
            "created\nhost product zynka-render\nsamplerate 48000\nblocksize 128\nmains 1\n"
            "mains 0\nclose\n");
}

TEST(Host, RecordingStaysInTheRoomItReserved) {
  // A plug-in may call back from its audio thread for as long as it runs: the record of
  // those calls never grows beyond the room reserved up front, so it never allocates there.
  auto lib = mustLoad(FAKE_PLUGIN_PATH);
  Host host;
  std::string error;
  AEffect* effect = host.instantiate(*lib, error);
  ASSERT_NE(effect, nullptr) << error;
  host.clearCalls();
  const std::size_t room = host.calls().capacity();
  const HostCall* storage = host.calls().data();
  ASSERT_GE(room, 1000u);
  for (std::size_t i = 0; i < room + 500; ++i)
    Host::callback(effect, audioMasterAutomate, 0, 0, nullptr, 0.5f);
  EXPECT_EQ(host.calls().size(), room);
  EXPECT_EQ(host.calls().data(), storage);
  EXPECT_EQ(host.droppedCalls(), 500u);
  host.clearCalls();
  EXPECT_EQ(host.droppedCalls(), 0u);
  Host::callback(effect, audioMasterAutomate, 3, 0, nullptr, 0.5f);
  ASSERT_EQ(host.calls().size(), 1u);
  EXPECT_EQ(host.calls()[0].index, 3);
  host.close(effect);
}
