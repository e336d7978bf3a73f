// The state text the CLAP and LV2 builds keep with a host's session: a saved state
// loaded into a fresh plug-in gives the same programs and the same sound, and any text
// that is not a whole state leaves the plug-in exactly as it was.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "engine/program_state.h"
#include "engine_fixture.h"

namespace zynka::test {
namespace {

void expectSamePrograms(Plugin& a, Plugin& b) {
  EXPECT_EQ(a.getProgram(), b.getProgram());
  for (int p = 0; p < kNumPrograms; ++p) {
    const ProgramRecord& x = *a.getProgramRecord(p);
    const ProgramRecord& y = *b.getProgramRecord(p);
    EXPECT_STREQ(x.name, y.name) << "program " << p;
    for (int slot = 0; slot < kNumParams; ++slot) {
      if (std::isnan(x.values[slot]))
        EXPECT_TRUE(std::isnan(y.values[slot])) << "program " << p << " slot " << slot;
      else
        EXPECT_EQ(x.values[slot], y.values[slot]) << "program " << p << " slot " << slot;
    }
  }
}

/// A plug-in whose bank differs from the factory's in values, names and the current program.
std::unique_ptr<Plugin> editedPlugin() {
  auto plugin = makePlugin();
  plugin->setProgram(40);
  plugin->setParameter(kVibRate, 0.3f);
  plugin->setParameter(kVolume, 1.7f);                 // beyond 1, kept as stored
  plugin->setParameter(kThru, std::nanf(""));          // even a NaN survives
  char name[] = "Glass Keys 2 ";  // a trailing space too
  plugin->setProgramName(name);
  plugin->setProgram(7);
  plugin->setParameter(kCoarse, 0.123456789f);
  plugin->setParameter(kFine, 1e-30f);
  return plugin;
}

TEST(ProgramState, LoadedIntoAFreshPluginGivesTheSameProgramsAndSound) {
  auto saved = editedPlugin();
  const std::string text = saveState(*saved);
  EXPECT_EQ(text.rfind("ZYNKA State 1\r\nProgram 7\r\n", 0), 0u);

  giveNextPluginAnEditor = true;
  auto fresh = makePlugin();
  FakeEditor* editor = lastFakeEditor;
  ASSERT_TRUE(loadState(*fresh, text));
  expectSamePrograms(*saved, *fresh);
  EXPECT_EQ(saveState(*fresh), text);

  // The editor's controls show the loaded program's values.
  ASSERT_GE(editor->parameterCalls.size(), static_cast<std::size_t>(kNumParams));
  const auto last = editor->parameterCalls.end() - kNumParams;
  for (int i = 0; i < kNumParams; ++i) {
    EXPECT_EQ(last[i].first, i);
    EXPECT_EQ(last[i].second, fresh->getParameter(i));
  }

  // Both play a phrase alike, sample for sample.
  saved->setProgram(7);  // the same fresh voice state on both sides
  for (Plugin* p : {saved.get(), fresh.get()}) {
    MidiList notes;
    notes.noteOn(3, 60, 100).noteOn(50, 67, 80);
    p->processEvents(notes.events());
  }
  EXPECT_EQ(renderDouble(*saved, 4096), renderDouble(*fresh, 4096));
}

TEST(ProgramState, AnythingButAWholeStateChangesNothing) {
  auto saved = editedPlugin();
  const std::string text = saveState(*saved);
  auto target = makePlugin();
  target->setProgram(3);
  const std::string before = saveState(*target);

  auto refuses = [&](std::string_view candidate, const char* what) {
    EXPECT_FALSE(loadState(*target, candidate)) << what;
  };
  // Cut anywhere: at every line end, inside the last name, inside the last line end.
  for (std::size_t cut = 0; cut < text.size(); ++cut)
    if (cut < 200 || text[cut] == '\n' || text[cut] == '\r' || cut > text.size() - 40)
      refuses(std::string_view(text).substr(0, cut), "a cut state");
  std::string edited = text;
  edited.replace(0, 13, "ZYNKA State 2");
  refuses(edited, "a later version");
  edited = text;
  edited.replace(15, 9, "Program 99");
  refuses(edited, "a program out of range");
  edited = text;
  edited.insert(edited.find("\r\n", 30) + 2, "0.5 0.5 Not a program line\r\n");
  refuses(edited, "a short program line");
  refuses(text + "surplus\r\n", "text after the programs");
  refuses("ZYNKA Preset Bank\r\n", "a bank file");
  refuses(std::string(kMaxStateSize + 1, '\n'), "an endless text");
  EXPECT_EQ(saveState(*target), before);

  EXPECT_TRUE(loadState(*target, text + "\r\n\r\n")) << "empty lines at the end are fine";
}

}  // namespace
}  // namespace zynka::test
