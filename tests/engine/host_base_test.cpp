// The editor base class as the plug-in's editor inherits it.
#include <gtest/gtest.h>

#include "engine_fixture.h"

namespace zynka::test {
namespace {

TEST(HostInterfaceBase, EditorBaseStaysOpenOnceGivenAWindowAndNamesItsEffect) {
  auto plugin = makePlugin();
  AEffEditor base(plugin.get());
  EXPECT_EQ(base.getEffect(), plugin.get());
  EXPECT_FALSE(base.isOpen());
  int parent = 0;
  EXPECT_TRUE(base.open(&parent));
  EXPECT_TRUE(base.isOpen());
  base.close();
  EXPECT_TRUE(base.isOpen());  // the host's window stays known after close

  // A derived editor answers getEffect through the base, as every editor operation does.
  struct Derived : AEffEditor {
    AudioEffect* getEffect() override { return nullptr; }
  } derived;
  AEffEditor& asBase = derived;
  EXPECT_EQ(asBase.getEffect(), nullptr);
}

}  // namespace
}  // namespace zynka::test
