// The Linux file dialogs and message boxes. Without zenity and kdialog on PATH the
// built-in dialog shows: a typed name comes back with the default extension, Escape
// cancels, a missing file is refused in place, an existing one is asked about, and the
// message box waits for OK. With a stand-in zenity on PATH, zenity gets the request's
// title, filters and overwrite question as arguments (no shell between), and its
// answer comes back.
#include <gtest/gtest.h>
// After gtest: Xlib defines macros (None, Bool) that gtest's own names would meet.
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string_view>
#include <thread>

#include "tests/dialog_requests.h"
#include "tests/x11/x11_test_util.h"
#include "toolkit/platform/x11/file_dialogs_linux.h"

using namespace VSTGUI::Platform;
using dialog_requests::loadPreset;
using dialog_requests::savePreset;
namespace fs = std::filesystem;

namespace {

/// The user, on another thread: waits for a dialog of that title, then acts on it.
class Hand {
 public:
  Hand(std::string title, std::function<void(x11_test::Host&)> act)
      : thread([this, title, act] {
          x11_test::Host hand(1, 1);
          ::Window dialog = 0;
          x11_test::waitUntil([&] {
            const std::vector<::Window> found = x11_test::viewableTitled(hand.display(), title);
            dialog = found.empty() ? 0 : found[0];
            return dialog != 0;
          });
          seen = dialog != 0;
          // The user types once the dialog has the keyboard.
          if (seen && x11_test::waitUntil([&] { return hand.focus() == dialog; })) act(hand);
        }) {}
  ~Hand() { thread.join(); }
  std::atomic<bool> seen{false};

 private:
  std::thread thread;
};

class LinuxFileDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/zynka-dialogs-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder = pattern;
    savedPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    savedFolder = fs::current_path();
    fs::create_directory(folder / "bin");
    setenv("PATH", (folder / "bin").c_str(), 1);  // no zenity, no kdialog
    fs::current_path(folder);
  }
  void TearDown() override {
    setenv("PATH", savedPath.c_str(), 1);
    fs::current_path(savedFolder);
    fs::remove_all(folder);
  }
  fs::path folder;
  std::string savedPath;
  fs::path savedFolder;
};

}  // namespace

TEST_F(LinuxFileDialogs, BuiltInDialogAnswersTypedNamesCancelsAndAsks) {
  fs::path chosen;
  {
    Hand hand("Save Preset", [](x11_test::Host& h) {
      h.typeText("mine");  // after the current folder the field starts with
      h.type(XK_Return);
    });
    ASSERT_TRUE(runFileDialog(savePreset(), chosen));
    EXPECT_TRUE(hand.seen);
  }
  EXPECT_EQ(chosen, folder / "mine.zyp") << "the default extension is added";

  {
    Hand hand("Save Preset", [](x11_test::Host& h) { h.type(XK_Escape); });
    EXPECT_FALSE(runFileDialog(savePreset(), chosen));
  }

  // An existing file: the dialog asks, and Yes gives the path.
  std::ofstream(folder / "old.zyp") << "x";
  {
    Hand confirm("Confirm Save As", [](x11_test::Host& h) { h.type(XK_Return); });
    Hand hand("Save Preset", [](x11_test::Host& h) {
      h.typeText("old");
      h.type(XK_Return);
    });
    ASSERT_TRUE(runFileDialog(savePreset(), chosen));
    EXPECT_TRUE(confirm.seen);
  }
  EXPECT_EQ(chosen, folder / "old.zyp");

  // Loading a file that is not there: refused in place; the dialog stays, so the name typed
  // over it then is the one that comes back.
  const FileDialogRequest load = loadPreset();
  {
    Hand hand("Load Preset", [](x11_test::Host& h) {
      h.typeText("missing");
      h.type(XK_Return);
      for (int i = 0; i < 7; ++i) h.type(XK_BackSpace);
      h.typeText("old.zyp");
      h.type(XK_Return);
    });
    EXPECT_TRUE(runFileDialog(load, chosen));
    EXPECT_TRUE(hand.seen);
  }
  EXPECT_EQ(chosen, folder / "old.zyp");

  MessageRequest message;
  message.caption = "Error";
  message.text = "The file could not be saved.";
  message.icon = MessageRequest::kError;
  {
    Hand hand("Error", [](x11_test::Host& h) { h.type(XK_Return); });
    showMessage(message);
    EXPECT_TRUE(hand.seen);
  }
}

TEST_F(LinuxFileDialogs, ZenityOnPathGetsTheRequestAsArgumentsWithoutAShell) {
  // A stand-in zenity: writes its arguments one per line and answers a name no shell would survive.
  const fs::path script = folder / "bin" / "zenity";
  const fs::path arguments = folder / "arguments.txt";
  const fs::path answer = folder / "it's $HOME; mine";
  std::ofstream(script) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << arguments.string() << "'\n"
                        << "printf '%s\\n' \"$ZYNKA_ANSWER\"\n";
  chmod(script.c_str(), 0755);
  setenv("ZYNKA_ANSWER", answer.c_str(), 1);

  fs::path chosen;
  ASSERT_TRUE(runFileDialog(savePreset(), chosen));
  EXPECT_EQ(chosen, fs::path(answer.string() + ".zyp"));
  auto lines = [&] {
    std::ifstream in(arguments);
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
  };
  EXPECT_EQ(lines(), (std::vector<std::string>{"--file-selection", "--title=Save Preset", "--save",
                                               "--confirm-overwrite", "--file-filter=Preset Files (*.zyp) | *.zyp",
                                               "--file-filter=All Files (*.*) | *"}));

  MessageRequest message;
  message.caption = "Error";
  message.text = "The selected file is not a ZYNKA preset.";
  message.icon = MessageRequest::kError;
  showMessage(message);
  EXPECT_EQ(lines(), (std::vector<std::string>{"--error", "--title=Error", "--no-markup",
                                               "--text=The selected file is not a ZYNKA preset."}));
  unsetenv("ZYNKA_ANSWER");

  // kdialog, when it is the one installed, gets the same request in its own words.
  EXPECT_EQ(Linux::kdialogFileArguments(savePreset(), "/home/user/"),
            (std::vector<std::string>{"--title", "Save Preset", "--getsavefilename", "/home/user/",
                                      "*.zyp|Preset Files (*.zyp)\n*|All Files (*.*)"}));
}
