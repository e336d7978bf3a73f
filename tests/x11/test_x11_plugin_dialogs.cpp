// zynka.so's file commands on Linux while their dialog is open, as a host meets them:
// the library loaded with dlopen and driven through its AEffect record, its editor in a
// window of the host's, input through XTest. The dialogs are a stand-in zenity that takes
// two seconds before it answers, a stand-in kdialog that never answers and ignores SIGTERM,
// and the built-in dialog typed into. Checked: every effEditIdle returns within a bound far below a human
// pause while a dialog is open; the editor takes no clicks meanwhile; the command finishes
// at the idle pass where the answer arrives (the preset loaded, the program selected, the
// display showing it); an error message is shown the same way; closing the editor or the
// plug-in ends the dialog program and reaps it, and nothing is loaded.
//
// The program menu's choice reaches the plug-in as parameter 105, which the host sets here
// on its GUI thread (test_x11_plugin.cpp drives the menu itself).
#include <X11/keysym.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "editor/layout.h"
#include "engine/program.h"
#include "host/aeffect.h"
#include "host/opcodes.h"
#include "tests/gesture_host.h"
#include "tests/x11/x11_test_util.h"

#if __has_include(<valgrind/valgrind.h>)
#include <valgrind/valgrind.h>
#endif

namespace fs = std::filesystem;
namespace layout = zynka::layout;
using Clock = std::chrono::steady_clock;

namespace {

/// The longest a host's GUI thread may be held by one call from the first menu command on: a
/// failure bound, not a timing, far below the stand-in dialog's two seconds. Memcheck makes
/// every call some ten times slower.
std::chrono::milliseconds heldAtMost() {
#if __has_include(<valgrind/valgrind.h>)
  if (RUNNING_ON_VALGRIND) return std::chrono::milliseconds(1000);
#endif
  return std::chrono::milliseconds(200);
}

int displayUpdates = 0;

VstIntPtr hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  if (opcode == audioMasterUpdateDisplay) ++displayUpdates;
  return gesture_host::callback(effect, opcode, index, value, ptr, opt);
}

/// True when `pid` is neither running nor a zombie of ours: it was ended and waited for.
bool reaped(pid_t pid) {
  errno = 0;
  const bool noChild = waitpid(pid, nullptr, WNOHANG) < 0 && errno == ECHILD;
  return noChild && !fs::exists("/proc/" + std::to_string(pid));
}

class PluginDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    gesture_host::log().clear();
    displayUpdates = 0;
    char pattern[] = "/tmp/zynka-plugin-dialogs-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder = pattern;
    fs::create_directory(folder / "bin");
    savedPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    savedFolder = fs::current_path();
    setenv("PATH", (folder / "bin").c_str(), 1);  // only the stand-ins a test puts there
    fs::current_path(folder);
    setenv("DISPLAY", x11_test::testDisplayName().c_str(), 1);

    library = dlopen(ZYNKA_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto entry = reinterpret_cast<AEffect* (*)(audioMasterCallback)>(dlsym(library, "VSTPluginMain"));
    ASSERT_NE(entry, nullptr);
    effect = entry(hostCallback);
    ASSERT_NE(effect, nullptr);
    dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    dispatch(effMainsChanged, 0, 1);
    ASSERT_NE(host.display(), nullptr);
    openEditor();
  }

  void TearDown() override {
    if (effect) {
      dispatch(effEditClose);
      dispatch(effClose);
    }
    if (library) dlclose(library);
    setenv("PATH", savedPath.c_str(), 1);
    fs::current_path(savedFolder);
    std::error_code error;
    fs::remove_all(folder, error);
  }

  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
  }

  void openEditor() {
    ASSERT_EQ(dispatch(effEditOpen, 0, 0, host.parentHandle()), 1);
    ASSERT_TRUE(idleUntil([&] { return host.childWindow() != 0; }));
  }

  /// The host's idle timer: effEditIdle every 10 ms until done() holds or 10 s have passed.
  /// Once a command was chosen every call must give the thread back within the bound.
  bool idleUntil(const std::function<bool()>& done) {
    const auto end = Clock::now() + std::chrono::seconds(10);
    while (!done()) {
      if (Clock::now() >= end) return false;
      const auto start = Clock::now();
      dispatch(effEditIdle);
      if (commandChosen) {
        EXPECT_LT(Clock::now() - start, heldAtMost()) << "an effEditIdle held the host's GUI thread";
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
  }

  /// Chooses a program menu entry: parameter 105 on the host's GUI thread, which gets its
  /// thread back at once although the command's dialog stays open.
  void choose(int position) {
    // Should the command hold the thread after all, the user's Escape ends the built-in
    // dialog five seconds later, so that the test fails instead of hanging.
    std::mutex lock;
    std::condition_variable returnedOrLate;
    bool returned = false;
    std::thread rescue([&] {
      std::unique_lock<std::mutex> guard(lock);
      if (returnedOrLate.wait_for(guard, std::chrono::seconds(5), [&] { return returned; })) return;
      x11_test::Host hand(1, 1);
      hand.type(XK_Escape);
    });
    const auto start = Clock::now();
    effect->setParameter(effect, zynka::kTagProgramMenu, static_cast<float>(position));
    EXPECT_LT(Clock::now() - start, heldAtMost()) << "the menu command held the host's GUI thread";
    commandChosen = true;
    {
      std::lock_guard<std::mutex> guard(lock);
      returned = true;
    }
    returnedOrLate.notify_one();
    rescue.join();
  }

  /// Puts a stand-in dialog program on PATH (the script finds the system's tools itself).
  void standIn(const std::string& name, const std::string& script) {
    const fs::path path = folder / "bin" / name;
    std::ofstream(path) << "#!/bin/sh\nPATH=/usr/bin:/bin\n" << script;
    chmod(path.c_str(), 0755);
  }

  /// Idles until the stand-in wrote its process id; 0 when it never started.
  pid_t dialogProgram() {
    pid_t pid = 0;
    idleUntil([&] {
      std::ifstream file(folder / "dialog.pid");
      return static_cast<bool>(file >> pid) && pid > 0;
    });
    fs::remove(folder / "dialog.pid");
    return pid;
  }

  int program() { return static_cast<int>(dispatch(effGetProgram)); }
  std::string programName() {
    char name[32] = {};
    dispatch(effGetProgramName, 0, 0, name);
    return name;
  }
  /// The title of the window with the keyboard focus: a dialog takes it when it shows.
  std::string focusTitle() {
    const Window focused = host.focus();
    char* name = nullptr;
    std::string title;
    if (focused > PointerRoot && XFetchName(host.display(), focused, &name) && name) title = name;
    if (name) XFree(name);
    return title;
  }
  /// The editor window's pixels inside a rectangle of the layout.
  std::vector<std::uint32_t> pixelsOf(const layout::Rect& r) {
    const std::vector<std::uint32_t> all = host.pixels(host.childWindow(), layout::kWindowWidth, layout::kWindowHeight);
    std::vector<std::uint32_t> part;
    if (all.empty()) return part;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        part.push_back(all[static_cast<std::size_t>(y) * layout::kWindowWidth + x]);
    return part;
  }

  fs::path folder;
  std::string savedPath;
  fs::path savedFolder;
  void* library = nullptr;
  AEffect* effect = nullptr;
  x11_test::Host host;
  bool commandChosen = false;
};

}  // namespace

TEST_F(PluginDialogs, TheHostIdlesWhileTheDialogIsOpenAndTheCommandFinishesWhenItAnswers) {
  // Program 0 as a preset of its own: quieter (Volume 0.25), named "Slow Bell".
  const fs::path preset = folder / "bell.zyp";
  std::ofstream(preset) << "ZYNKA Preset\n0 0.65 0.441 0.842 0.329 0.23 0.8 0.05 0.8 0.9 0 0.5 0.5 0.447 0 0.414 0.25 "
                           "Slow Bell\n";
  // A user who browses for two seconds, then picks the file the test names in "answer" (or,
  // after ten seconds more, cancels).
  standIn("zenity",
          "echo $$ > dialog.pid\nsleep 2\nn=0\n"
          "while [ ! -s answer ] && [ $n -lt 200 ]; do sleep 0.05; n=$((n+1)); done\n"
          "cat answer 2>/dev/null || exit 1\n");
  const layout::Rect volume = layout::placeOf(zynka::kVolume).rect;
  ASSERT_TRUE(idleUntil([&] { return !pixelsOf(layout::kProgramName).empty(); }));
  const std::vector<std::uint32_t> nameBefore = pixelsOf(layout::kProgramName);
  const std::vector<std::uint32_t> volumeBefore = pixelsOf(volume);

  choose(zynka::kMenuLoadPreset);
  ASSERT_GT(dialogProgram(), 0) << "the dialog program started";

  // The user clicks "Next" and turns the wheel over the Tuning knob: the editor takes
  // neither. The unused notch goes on to the host's window after the click was handled.
  Display* dpy = host.display();
  XSelectInput(dpy, host.parentWindow(), ButtonPressMask);
  XSync(dpy, False);
  host.click(layout::centre(layout::kNextButton).x, layout::centre(layout::kNextButton).y);
  const layout::Point tuning = layout::centre(layout::placeOf(zynka::kTuning).rect);
  host.moveTo(tuning.x, tuning.y);
  host.button(4, true);
  host.button(4, false);
  EXPECT_TRUE(idleUntil([&] {
    XEvent event;
    return XCheckWindowEvent(dpy, host.parentWindow(), ButtonPressMask, &event) && event.xbutton.button == 4;
  })) << "the notch reached the host's window";
  EXPECT_EQ(gesture_host::log(), std::vector<std::string>{}) << "no control moved under the dialog";
  EXPECT_EQ(program(), 0);
  EXPECT_EQ(programName(), "Bright E.Piano") << "nothing loaded yet";

  // The answer arrives: the preset goes into program 0, which is selected again (the host
  // is told to show it), and the editor shows the loaded program.
  const int updatesBefore = displayUpdates;
  std::ofstream(folder / "answer") << preset.string() << "\n";
  EXPECT_TRUE(idleUntil([&] { return programName() == "Slow Bell"; }));
  EXPECT_EQ(program(), 0);
  EXPECT_FLOAT_EQ(effect->getParameter(effect, zynka::kVolume), 0.25f);
  EXPECT_GT(displayUpdates, updatesBefore) << "the program was selected";
  EXPECT_TRUE(idleUntil([&] { return pixelsOf(layout::kProgramName) != nameBefore; })) << "the name shows";
  EXPECT_TRUE(idleUntil([&] { return pixelsOf(volume) != volumeBefore; })) << "the Volume slider moved";

  // With the dialog gone the editor takes clicks again.
  host.click(layout::centre(layout::kNextButton).x, layout::centre(layout::kNextButton).y);
  EXPECT_TRUE(idleUntil([&] { return program() == 1; }));
}

TEST_F(PluginDialogs, TheBuiltInDialogAndItsErrorMessageArePumpedByTheIdlePass) {
  // No zenity, no kdialog: the editor's own dialog. Nothing below waits on another thread:
  // the test types into the dialogs between the host's idle calls.
  dispatch(effSetProgram, 0, 5);
  choose(zynka::kMenuLoadBank);
  ASSERT_TRUE(idleUntil([&] { return focusTitle() == "Load Bank"; })) << "the dialog shows and takes the keyboard";
  host.type(XK_Escape);
  EXPECT_TRUE(idleUntil([&] { return program() == 0; })) << "a cancelled Load Bank still selects program 0";

  // A preset offered as a bank: the error box shows the same way, and the command ends when
  // the user closes it.
  std::ofstream(folder / "one.zyp") << "ZYNKA Preset\n0 1 0 0 0 0 0 0.5 0 0 0 0.5 0.5 0 0 0 1 Empty\n";
  dispatch(effSetProgram, 0, 5);
  choose(zynka::kMenuLoadBank);
  ASSERT_TRUE(idleUntil([&] { return focusTitle() == "Load Bank"; }));
  host.typeText("one.zyp");  // after the current folder the field starts with
  host.type(XK_Return);
  ASSERT_TRUE(idleUntil([&] { return focusTitle() == "Error"; })) << "the message shows and takes the keyboard";
  EXPECT_EQ(program(), 5) << "the command is not over while its message shows";
  host.type(XK_Return);
  EXPECT_TRUE(idleUntil([&] { return program() == 0; }));
  EXPECT_EQ(programName(), "Bright E.Piano") << "the bank was not loaded";
}

TEST_F(PluginDialogs, ClosingTheEditorOrThePlugInEndsTheDialogProgramAndLoadsNothing) {
  // kdialog, when zenity is missing: a user who never answers, in a program that will not end
  // when asked to (it ignores SIGTERM).
  standIn("kdialog", "echo $$ > dialog.pid\ntrap '' TERM\nexec sleep 30\n");
  dispatch(effSetProgram, 0, 5);
  choose(zynka::kMenuLoadBank);
  const pid_t first = dialogProgram();
  ASSERT_GT(first, 0);
  EXPECT_TRUE(fs::exists("/proc/" + std::to_string(first))) << "the dialog program runs";
  dispatch(effEditClose);
  EXPECT_TRUE(reaped(first)) << "closing the editor ended the dialog program and waited for it";
  EXPECT_EQ(program(), 5) << "the abandoned Load Bank selected nothing";

  openEditor();
  choose(zynka::kMenuLoadPreset);
  const pid_t second = dialogProgram();
  ASSERT_GT(second, 0);
  dispatch(effClose);  // the plug-in goes with its editor still open
  effect = nullptr;
  EXPECT_TRUE(reaped(second)) << "closing the plug-in ended the dialog program and waited for it";
}
