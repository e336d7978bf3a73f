// The Windows common file dialogs and message boxes.
#include <windows.h>
#include <commdlg.h>

#include <string>
#include <string_view>
#include <vector>

#include "toolkit/platform/file_dialogs.h"

namespace VSTGUI::Platform {

static_assert(kFileDialogOverwritePrompt == OFN_OVERWRITEPROMPT);
static_assert(kFileDialogHideReadOnly == OFN_HIDEREADONLY);
static_assert(kFileDialogPathMustExist == OFN_PATHMUSTEXIST);
static_assert(kFileDialogFileMustExist == OFN_FILEMUSTEXIST);
static_assert(kMessageOkButton == MB_OK);
static_assert(kMessageErrorIcon == MB_ICONERROR);

namespace {

/// UTF-16 form of a UTF-8 text, zero bytes inside it kept (the filter list has them).
std::wstring widen(std::string_view text) {
  if (text.empty()) return {};
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

}  // namespace

bool runFileDialog(const FileDialogRequest& request, std::filesystem::path& chosen) {
  const std::wstring filter = widen(request.filter);
  const std::wstring title = widen(request.title);
  const std::wstring defaultExtension = widen(request.defaultExtension);
  std::vector<wchar_t> file(request.pathCapacity > 0 ? request.pathCapacity : 1, L'\0');

  OPENFILENAMEW record{};
  record.lStructSize = sizeof record;
  record.hwndOwner = static_cast<HWND>(request.owner);
  record.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  record.lpstrFile = file.data();
  record.nMaxFile = static_cast<DWORD>(file.size());
  record.lpstrTitle = title.empty() ? nullptr : title.c_str();
  record.Flags = request.flags;
  record.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();

  const BOOL accepted = request.save ? GetSaveFileNameW(&record) : GetOpenFileNameW(&record);
  if (!accepted || file[0] == L'\0') return false;
  chosen = std::filesystem::path(std::wstring(file.data()));
  return true;
}

void showMessage(const MessageRequest& request) {
  const std::wstring text = widen(request.text);
  const std::wstring caption = widen(request.caption);
  MessageBoxW(static_cast<HWND>(request.owner), text.c_str(), caption.c_str(), request.style);
}

}  // namespace VSTGUI::Platform
