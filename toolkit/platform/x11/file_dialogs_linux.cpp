// File dialogs and message boxes on Linux: zenity when it is installed, else kdialog,
// else a small dialog of our own on an X window. The programs run through posix_spawn
// with their arguments as they are (no shell: a path may hold any character), and
// their standard output is the answer.
#include "toolkit/platform/x11/file_dialogs_linux.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <system_error>

extern char** environ;

namespace VSTGUI::Platform {

namespace Linux {

namespace {

/// A filter's patterns as Linux dialogs take them: "*.zyp *.zyb".
std::string joinedPatterns(const FileFilter& filter) {
  std::string out;
  for (const std::string& pattern : filter.patterns) out += (out.empty() ? "" : " ") + pattern;
  return out;
}

struct Outcome {
  bool ran = false;
  int status = -1;
  std::string output;
};

/// Runs a program with arguments, no shell, and collects its standard output.
Outcome run(const std::string& program, const std::vector<std::string>& arguments) {
  Outcome outcome;
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) return outcome;
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);
  if (spawned != 0) {
    close(pipeFds[0]);
    return outcome;
  }
  outcome.ran = true;
  char buffer[4096];
  for (;;) {
    const ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
    if (n > 0) outcome.output.append(buffer, static_cast<std::size_t>(n));
    else if (n == 0 || errno != EINTR) break;
  }
  close(pipeFds[0]);
  int status = 0;
  pid_t waited;
  do waited = waitpid(pid, &status, 0);
  while (waited < 0 && errno == EINTR);
  // A host that reaps every child itself leaves us no status: an answer on stdout is the answer.
  if (waited == pid && WIFEXITED(status)) outcome.status = WEXITSTATUS(status);
  else outcome.status = outcome.output.empty() ? 1 : 0;
  return outcome;
}

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

/// Asks whether an existing file may be replaced; true for yes.
bool confirmReplace(Tool tool, const std::string& program, const std::filesystem::path& path, void* owner) {
  const std::string question = path.filename().string() + " already exists.\nDo you want to replace it?";
  if (tool == Tool::kZenity)
    return run(program, {"--question", "--title=Confirm Save As", "--no-markup", "--text=" + question}).status == 0;
  if (tool == Tool::kKdialog)
    return run(program, {"--title", "Confirm Save As", "--warningyesno", question}).status == 0;
  BuiltInDialog dialog;
  dialog.title = "Confirm Save As";
  dialog.message = question;
  dialog.buttons = {"Yes", "No"};
  dialog.owner = static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(owner));
  return runBuiltInDialog(dialog) == 0;
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

bool runFileDialog(const FileDialogRequest& request, std::filesystem::path& chosen) {
  using namespace Linux;
  std::string program;
  const Tool tool = pickTool(program);
  std::filesystem::path answer;
  std::error_code error;
  if (tool == Tool::kZenity || tool == Tool::kKdialog) {
    std::string start = std::filesystem::current_path(error).string();
    const Outcome outcome = run(program, tool == Tool::kZenity ? zenityFileArguments(request)
                                                              : kdialogFileArguments(request, start + "/"));
    if (!outcome.ran || outcome.status != 0) return false;
    answer = firstLine(outcome.output);
  } else {
    BuiltInDialog dialog;
    dialog.title = request.title;
    dialog.message = "File name:";
    dialog.withField = true;
    const std::filesystem::path here = std::filesystem::current_path(error);
    dialog.fieldText = error ? std::string() : here.string() + "/";
    dialog.buttons = {request.save ? "Save" : "Open", "Cancel"};
    dialog.owner = static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(request.owner));
    dialog.check = checkPath;
    dialog.checkData = &request;
    if (runBuiltInDialog(dialog) != 0) return false;
    answer = dialog.fieldText;
  }
  if (answer.empty()) return false;
  std::filesystem::path completed = withDefaultExtension(answer, request);
  // The dialog asked about the name it showed; a name the extension changed is asked about here.
  if (request.save && request.confirmOverwrite &&
      (completed != answer || tool == Tool::kBuiltIn) && std::filesystem::exists(completed, error) &&
      !confirmReplace(tool, program, completed, request.owner))
    return false;
  chosen = completed;
  return true;
}

void showMessage(const MessageRequest& request) {
  using namespace Linux;
  std::string program;
  const Tool tool = pickTool(program);
  if (tool == Tool::kZenity && run(program, zenityMessageArguments(request)).ran) return;
  if (tool == Tool::kKdialog && run(program, kdialogMessageArguments(request)).ran) return;
  BuiltInDialog dialog;
  dialog.title = request.caption;
  dialog.message = request.text;
  dialog.buttons = {"OK"};
  dialog.owner = static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(request.owner));
  runBuiltInDialog(dialog);
}

}  // namespace VSTGUI::Platform
