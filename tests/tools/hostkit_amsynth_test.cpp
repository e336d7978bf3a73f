// Proves the host kit on a third-party instrument: amsynth's VST, when installed, is
// loaded, instantiated, started and closed in this process as a DAW does it.
// (A test of its own so that amsynth's own leaks can be left out of leak checking.)
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tools/hostkit/hostkit.h"

using hostkit::Host;
using hostkit::PluginLibrary;

TEST(Host, DrivesAmsynth) {
  // amsynth writes its settings and banks under HOME: a test keeps them out of the user's.
  const std::string home = ::testing::TempDir() + "hostkit_amsynth_home";
  ASSERT_EQ(setenv("HOME", home.c_str(), 1), 0);
  std::string error;
  auto lib = PluginLibrary::load(AMSYNTH_VST_PATH, error);
  if (lib == nullptr) GTEST_SKIP() << "amsynth's VST is not installed: " << error;
  Host host;
  AEffect* effect = host.instantiate(*lib, error);
  ASSERT_NE(effect, nullptr) << error;
  EXPECT_GE(effect->numOutputs, 1);
  EXPECT_NE(effect->flags & effFlagsIsSynth, 0);
  host.dispatch(effect, effOpen);
  host.start(effect);
  host.close(effect);
}
