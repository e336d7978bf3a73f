// File dialogs and message boxes on Linux: zenity when it is installed, else kdialog,
// else a small dialog of our own on an X window. The programs run through posix_spawn
// with their arguments as they are (no shell: a path may hold any character), and
// their standard output is the answer.
//
// Nothing here waits for the user unless asked to (runFileDialog, showMessage): a
// started dialog is a running program whose output is read without blocking and whose
// end is looked for with WNOHANG, or the built-in dialog's window, pumped without
// waiting. Ending a dialog still open ends its program and waits for it.
#include "toolkit/platform/x11/file_dialogs_linux.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <memory>
#include <string_view>
#include <system_error>

extern char** environ;

namespace VSTGUI::Platform {

/// A dialog shown without waiting, as each kind is pumped on Linux.
struct ShownDialog {
  virtual ~ShownDialog() = default;
  /// Looks without waiting; the chosen path on kAnswered.
  virtual DialogState poll(std::filesystem::path& chosen) = 0;
  /// A descriptor readable when there is something to look at; -1 when none.
  virtual int descriptor() const = 0;
};

namespace Linux {

namespace {

/// A filter's patterns as Linux dialogs take them: "*.zyp *.zyb".
std::string joinedPatterns(const FileFilter& filter) {
  std::string out;
  for (const std::string& pattern : filter.patterns) out += (out.empty() ? "" : " ") + pattern;
  return out;
}

/// A dialog program (zenity, kdialog) running beside the host, no shell between: its
/// standard output (the answer) is read without waiting, and its end is looked for with
/// WNOHANG. One still running when the object goes is ended and waited for.
class DialogProgram {
 public:
  DialogProgram() = default;
  DialogProgram(const DialogProgram&) = delete;
  DialogProgram& operator=(const DialogProgram&) = delete;
  ~DialogProgram() {
    if (pid > 0 && !ended) endAndReap();
    if (out >= 0) close(out);
  }

  /// Starts the program; false when it could not be started.
  bool start(const std::string& program, const std::vector<std::string>& arguments) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return false;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    // The program starts with no signal blocked and the ending ones at their defaults, whatever
    // the host's thread has set, so that ending it works.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int signal : {SIGTERM, SIGINT, SIGHUP, SIGPIPE}) sigaddset(&defaults, signal);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned != 0) {
      pid = -1;
      close(pipeFds[0]);
      return false;
    }
    out = pipeFds[0];
    fcntl(out, F_SETFL, fcntl(out, F_GETFL) | O_NONBLOCK);
    return true;
  }

  /// Reads what it wrote and looks whether it ended, without waiting; true once it has.
  bool poll() {
    drain();
    if (ended) return true;
    int status = 0;
    pid_t waited;
    do waited = waitpid(pid, &status, WNOHANG);
    while (waited < 0 && errno == EINTR);
    if (waited == 0) return false;
    ended = true;
    drain();  // what it wrote before it ended
    if (waited == pid)
      exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    else  // a host that reaps every child itself leaves us no status: an answer on stdout is the answer
      exitStatus = answer.empty() ? 1 : 0;
    return true;
  }

  /// Once ended: true when it ended with status 0 (OK, Yes).
  bool succeeded() const { return ended && exitStatus == 0; }
  /// What it wrote so far.
  const std::string& output() const { return answer; }
  /// Its output's descriptor, readable when it wrote or ended; -1 once its output ended.
  int descriptor() const { return out; }

 private:
  void drain() {
    char buffer[4096];
    while (out >= 0) {
      const ssize_t n = read(out, buffer, sizeof buffer);
      if (n > 0) {
        answer.append(buffer, static_cast<std::size_t>(n));
      } else if (n < 0 && errno == EINTR) {
        continue;
      } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        break;
      } else {
        close(out);
        out = -1;
      }
    }
  }

  /// True when the program has ended and nothing is left to wait for: it was waited for now,
  /// or by a host that reaps every child itself.
  bool reapedNow() {
    pid_t waited;
    do waited = waitpid(pid, nullptr, WNOHANG);
    while (waited < 0 && errno == EINTR);
    return waited != 0;
  }

  /// Asks the program to end, gives it half a second, then ends it for sure; waits for it
  /// either way, so no zombie stays behind.
  void endAndReap() {
    if (reapedNow()) return;
    kill(pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    while (std::chrono::steady_clock::now() < deadline) {
      const timespec pause{0, 2'000'000};
      nanosleep(&pause, nullptr);
      if (reapedNow()) return;
    }
    kill(pid, SIGKILL);
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
  }

  pid_t pid = -1;
  int out = -1;
  std::string answer;
  bool ended = false;
  int exitStatus = -1;
};

std::string firstLine(const std::string& text) {
  const std::size_t end = text.find('\n');
  return end == std::string::npos ? text : text.substr(0, end);
}

enum class Tool { kZenity, kKdialog, kBuiltIn };

Tool pickTool(std::string& program) {
  program = findProgram("zenity");
  if (!program.empty()) return Tool::kZenity;
  program = findProgram("kdialog");
  if (!program.empty()) return Tool::kKdialog;
  return Tool::kBuiltIn;
}

unsigned long ownerWindow(void* owner) { return static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(owner)); }

/// One window the user answers: a dialog program's, or the built-in dialog's.
class Step {
 public:
  virtual ~Step() = default;
  /// Looks without waiting; true once the user answered.
  virtual bool poll() = 0;
  /// Once answered: true for the first button (Save, Open, Yes, OK).
  virtual bool accepted() const = 0;
  /// Once answered: the text given (a path).
  virtual std::string text() const = 0;
  /// A descriptor readable when there is something to look at; -1 when none.
  virtual int descriptor() const = 0;
};

class ProgramStep final : public Step {
 public:
  bool start(const std::string& path, const std::vector<std::string>& arguments) {
    return program.start(path, arguments);
  }
  bool poll() override { return program.poll(); }
  bool accepted() const override { return program.succeeded(); }
  std::string text() const override { return firstLine(program.output()); }
  int descriptor() const override { return program.descriptor(); }

 private:
  DialogProgram program;
};

class WindowStep final : public Step {
 public:
  explicit WindowStep(BuiltInDialog dialog) : window(std::move(dialog)) {}
  bool poll() override {
    if (button < 0) button = window.pump();
    return button >= 0;
  }
  bool accepted() const override { return button == 0; }
  std::string text() const override { return window.fieldText(); }
  int descriptor() const override { return window.descriptor(); }

 private:
  BuiltInWindow window;
  int button = -1;
};

/// The program's step with these arguments; null when it could not be started.
std::unique_ptr<Step> startProgram(const std::string& program, const std::vector<std::string>& arguments) {
  auto step = std::make_unique<ProgramStep>();
  if (!step->start(program, arguments)) return nullptr;
  return step;
}

/// What the built-in dialog says against a path the request does not allow.
std::string checkPath(const std::string& text, const void* data) {
  const auto& request = *static_cast<const FileDialogRequest*>(data);
  if (text.empty()) return "Please type a file name.";
  const std::filesystem::path path(text);
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return "This is a folder: please type a file name.";
  if (request.fileMustExist && !std::filesystem::exists(path, error)) return "File not found: check the file name.";
  if (request.folderMustExist) {
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    if (!std::filesystem::is_directory(folder, error)) return "Folder not found: check the path.";
  }
  return {};
}

/// A file dialog while it is shown: the dialog, then, for a save onto an existing file
/// whose name the dialog did not ask about, the question whether to replace it.
class FileDialog final : public ShownDialog {
 public:
  explicit FileDialog(const FileDialogRequest& asked) : request(asked) {
    tool = pickTool(program);
    std::error_code error;
    const std::string here = std::filesystem::current_path(error).string();
    if (tool == Tool::kBuiltIn) {
      BuiltInDialog dialog;
      dialog.title = request.title;
      dialog.message = "File name:";
      dialog.withField = true;
      dialog.fieldText = error ? std::string() : here + "/";
      dialog.buttons = {request.save ? "Save" : "Open", "Cancel"};
      dialog.owner = ownerWindow(request.owner);
      dialog.check = checkPath;
      dialog.checkData = &request;
      step = std::make_unique<WindowStep>(std::move(dialog));
    } else {
      step = startProgram(
          program, tool == Tool::kZenity ? zenityFileArguments(request) : kdialogFileArguments(request, here + "/"));
    }
    if (!step) state = DialogState::kCancelled;
  }

  DialogState poll(std::filesystem::path& chosen) override {
    if (state == DialogState::kOpen && step->poll()) answered();
    if (state == DialogState::kAnswered) chosen = completed;
    return state;
  }

  int descriptor() const override { return step ? step->descriptor() : -1; }

 private:
  void answered() {
    const bool accepted = step->accepted();
    const std::filesystem::path answer = accepted ? std::filesystem::path(step->text()) : std::filesystem::path();
    step.reset();
    if (confirming || answer.empty()) {
      state = confirming && accepted ? DialogState::kAnswered : DialogState::kCancelled;
      return;
    }
    completed = withDefaultExtension(answer, request);
    std::error_code error;
    // The dialog asked about the name it showed; a name the extension changed is asked about here.
    if (request.save && request.confirmOverwrite && (completed != answer || tool == Tool::kBuiltIn) &&
        std::filesystem::exists(completed, error)) {
      confirming = true;
      step = askToReplace();
      if (!step) state = DialogState::kCancelled;
      return;
    }
    state = DialogState::kAnswered;
  }

  std::unique_ptr<Step> askToReplace() {
    const std::string question = completed.filename().string() + " already exists.\nDo you want to replace it?";
    if (tool == Tool::kZenity)
      return startProgram(program, {"--question", "--title=Confirm Save As", "--no-markup", "--text=" + question});
    if (tool == Tool::kKdialog)
      return startProgram(program, {"--title", "Confirm Save As", "--warningyesno", question});
    BuiltInDialog dialog;
    dialog.title = "Confirm Save As";
    dialog.message = question;
    dialog.buttons = {"Yes", "No"};
    dialog.owner = ownerWindow(request.owner);
    return std::make_unique<WindowStep>(std::move(dialog));
  }

  const FileDialogRequest request;
  Tool tool = Tool::kBuiltIn;
  std::string program;
  std::unique_ptr<Step> step;
  bool confirming = false;
  std::filesystem::path completed;
  DialogState state = DialogState::kOpen;
};

/// A message box while it is shown; the built-in one when the program would not start.
class MessageBox final : public ShownDialog {
 public:
  explicit MessageBox(const MessageRequest& request) {
    std::string program;
    const Tool tool = pickTool(program);
    if (tool == Tool::kZenity) step = startProgram(program, zenityMessageArguments(request));
    if (tool == Tool::kKdialog) step = startProgram(program, kdialogMessageArguments(request));
    if (step) return;
    BuiltInDialog dialog;
    dialog.title = request.caption;
    dialog.message = request.text;
    dialog.buttons = {"OK"};
    dialog.owner = ownerWindow(request.owner);
    step = std::make_unique<WindowStep>(std::move(dialog));
  }

  DialogState poll(std::filesystem::path&) override {
    if (step && step->poll()) step.reset();  // closed: its window goes at once
    return step ? DialogState::kOpen : DialogState::kAnswered;
  }

  int descriptor() const override { return step ? step->descriptor() : -1; }

 private:
  std::unique_ptr<Step> step;
};

/// Polls a dialog until it is answered, sleeping on its descriptor in between.
DialogState waitForAnswer(ShownDialog* dialog, std::filesystem::path& chosen) {
  for (;;) {
    const DialogState state = pollDialog(dialog, chosen);
    if (state != DialogState::kOpen) return state;
    // Woken by the dialog's input or output; the caret's blink and a program's end are looked
    // for at least every 50 ms.
    pollfd ready{dialog->descriptor(), POLLIN, 0};
    ::poll(&ready, ready.fd >= 0 ? 1 : 0, 50);
  }
}

}  // namespace

std::vector<std::string> zenityFileArguments(const FileDialogRequest& request) {
  std::vector<std::string> args{"--file-selection"};
  if (!request.title.empty()) args.push_back("--title=" + request.title);
  if (request.save) {
    args.emplace_back("--save");
    if (request.confirmOverwrite) args.emplace_back("--confirm-overwrite");
  }
  for (const FileFilter& filter : request.filters)
    args.push_back("--file-filter=" + filter.label + " | " + joinedPatterns(filter));
  return args;
}

std::vector<std::string> zenityMessageArguments(const MessageRequest& request) {
  return {request.icon == MessageRequest::kError ? "--error" : "--info", "--title=" + request.caption, "--no-markup",
          "--text=" + request.text};
}

std::vector<std::string> kdialogFileArguments(const FileDialogRequest& request, const std::string& startFolder) {
  std::string filters;
  for (const FileFilter& filter : request.filters)
    filters += (filters.empty() ? "" : "\n") + joinedPatterns(filter) + "|" + filter.label;
  std::vector<std::string> args;
  if (!request.title.empty()) args.insert(args.end(), {"--title", request.title});
  args.push_back(request.save ? "--getsavefilename" : "--getopenfilename");
  args.push_back(startFolder);
  if (!filters.empty()) args.push_back(filters);
  return args;
}

std::vector<std::string> kdialogMessageArguments(const MessageRequest& request) {
  return {"--title", request.caption, request.icon == MessageRequest::kError ? "--error" : "--msgbox", request.text};
}

std::filesystem::path withDefaultExtension(const std::filesystem::path& chosen, const FileDialogRequest& request) {
  if (request.defaultExtension.empty() || chosen.empty() || chosen.filename().has_extension()) return chosen;
  std::filesystem::path out = chosen;
  out += "." + request.defaultExtension;
  return out;
}

std::string findProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  if (!path) return {};
  const std::string_view folders(path);
  std::size_t start = 0;
  while (start <= folders.size()) {
    const std::size_t end = folders.find(':', start);
    std::string folder(folders.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (folder.empty()) folder = ".";
    const std::string candidate = folder + "/" + name;
    struct stat info{};
    if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(candidate.c_str(), X_OK) == 0)
      return candidate;
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return {};
}

}  // namespace Linux

ShownDialog* startFileDialog(const FileDialogRequest& request) {
  try {
    return new Linux::FileDialog(request);
  } catch (const std::exception&) {
    return nullptr;
  }
}

ShownDialog* startMessage(const MessageRequest& request) {
  try {
    return new Linux::MessageBox(request);
  } catch (const std::exception&) {
    return nullptr;
  }
}

DialogState pollDialog(ShownDialog* dialog, std::filesystem::path& chosen) {
  if (!dialog) return DialogState::kCancelled;
  try {
    return dialog->poll(chosen);
  } catch (const std::exception&) {
    return DialogState::kCancelled;  // no memory for the answer: as if cancelled
  }
}

void endDialog(ShownDialog* dialog) { delete dialog; }

bool runFileDialog(const FileDialogRequest& request, std::filesystem::path& chosen) {
  ShownDialog* dialog = startFileDialog(request);
  const bool answered = Linux::waitForAnswer(dialog, chosen) == DialogState::kAnswered;
  endDialog(dialog);
  return answered;
}

void showMessage(const MessageRequest& request) {
  ShownDialog* dialog = startMessage(request);
  std::filesystem::path unused;
  Linux::waitForAnswer(dialog, unused);
  endDialog(dialog);
}

}  // namespace VSTGUI::Platform
