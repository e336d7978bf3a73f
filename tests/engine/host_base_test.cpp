// The editor base class as the plug-in's editor inherits it.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

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
}

TEST(HostInterfaceBase, EditorOpcodesReachTheEditorWithTheHostsArguments) {
  giveNextPluginAnEditor = true;
  auto plugin = makePlugin();
  giveNextPluginAnEditor = false;
  FakeEditor& editor = *lastFakeEditor;
  AEffect* effect = plugin->getAeffect();
  auto dispatch = [effect](VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
  };
  EXPECT_EQ(effect->flags, 0x1111);

  ERect* rect = nullptr;
  EXPECT_EQ(dispatch(effEditGetRect, 0, 0, &rect, 0), 1);
  EXPECT_EQ(rect, &editor.rect);
  int parent = 0;
  EXPECT_EQ(dispatch(effEditOpen, 0, 0, &parent, 0), 1);
  EXPECT_EQ(dispatch(effEditIdle, 0, 0, nullptr, 0), 0);
  EXPECT_EQ(dispatch(effEditClose, 0, 0, nullptr, 0), 0);
  EXPECT_EQ(editor.windowCalls, (std::vector<std::string>{"open", "idle", "close"}));

  // The key code: character from index, virtual key from the low byte of value,
  // modifier from the low byte of opt truncated toward zero.
  EXPECT_EQ(dispatch(effEditKeyDown, 'a', 0x1234, nullptr, 1.9f), 1);
  EXPECT_EQ(editor.lastKey.character, 'a');
  EXPECT_EQ(editor.lastKey.virt, 0x34);
  EXPECT_EQ(editor.lastKey.modifier, 1);
  EXPECT_EQ(dispatch(effEditKeyUp, 'b', 7, nullptr, 258.0f), 0);
  EXPECT_EQ(editor.lastKey.character, 'b');
  EXPECT_EQ(editor.lastKey.virt, 7);
  EXPECT_EQ(editor.lastKey.modifier, 2);
  EXPECT_EQ(dispatch(effSetEditKnobMode, 0, 2, nullptr, 0), 1);
  EXPECT_EQ(editor.knobMode, 2);
}

TEST(HostInterfaceBase, APlugInWhoseEditorCannotBeMadePlaysWithoutOne) {
  nextEditorFails = true;
  auto plugin = makePlugin();
  nextEditorFails = false;
  AEffect* effect = plugin->getAeffect();
  EXPECT_EQ(effect->flags, 0x1110) << "no editor flag";
  int parent = 0;
  EXPECT_EQ(effect->dispatcher(effect, effEditOpen, 0, 0, &parent, 0), 0);
  char name[32] = {};
  effect->dispatcher(effect, effGetProgramName, 0, 0, name, 0);
  EXPECT_STREQ(name, "Bright E.Piano") << "the program bank is there";
  plugin->processEvents(MidiList().noteOn(0, 60, 100).events());
  const std::vector<double> out = renderDouble(*plugin, 256);
  EXPECT_TRUE(std::any_of(out.begin(), out.end(), [](double sample) { return sample != 0.0; })) << "it plays";
}

}  // namespace
}  // namespace zynka::test
