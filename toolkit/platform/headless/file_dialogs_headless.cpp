// File dialogs and message boxes without a window system: each dialog takes the
// next scripted answer, and every request is recorded.
#include "toolkit/platform/headless/file_dialogs_headless.h"

#include <deque>
#include <mutex>

namespace VSTGUI::Platform {

namespace {

struct Script {
  std::mutex lock;
  std::deque<std::optional<std::filesystem::path>> answers;
  std::vector<FileDialogRequest> dialogs;
  std::vector<MessageRequest> messages;
};

Script& script() {
  static Script instance;
  return instance;
}

}  // namespace

bool runFileDialog(const FileDialogRequest& request, std::filesystem::path& chosen) {
  Script& s = script();
  std::lock_guard<std::mutex> guard(s.lock);
  s.dialogs.push_back(request);
  if (s.answers.empty()) return false;
  std::optional<std::filesystem::path> answer = std::move(s.answers.front());
  s.answers.pop_front();
  if (!answer || answer->empty()) return false;
  chosen = *answer;
  return true;
}

void showMessage(const MessageRequest& request) {
  Script& s = script();
  std::lock_guard<std::mutex> guard(s.lock);
  s.messages.push_back(request);
}

namespace Headless {

void queueFileDialogAnswer(std::optional<std::filesystem::path> answer) {
  Script& s = script();
  std::lock_guard<std::mutex> guard(s.lock);
  s.answers.push_back(std::move(answer));
}

std::vector<FileDialogRequest> fileDialogRequests() {
  Script& s = script();
  std::lock_guard<std::mutex> guard(s.lock);
  return s.dialogs;
}

std::vector<MessageRequest> messagesShown() {
  Script& s = script();
  std::lock_guard<std::mutex> guard(s.lock);
  return s.messages;
}

void resetFileDialogs() {
  Script& s = script();
  std::lock_guard<std::mutex> guard(s.lock);
  s.answers.clear();
  s.dialogs.clear();
  s.messages.clear();
}

}  // namespace Headless

}  // namespace VSTGUI::Platform
