// The Windows common file dialogs and message boxes.
#include "toolkit/platform/win32/file_dialogs_win32.h"

#include <commdlg.h>

#include <string_view>
#include <vector>

namespace VSTGUI::Platform {

namespace {

/// UTF-16 form of a UTF-8 text.
std::wstring widen(std::string_view text) {
  if (text.empty()) return {};
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

}  // namespace

namespace Win32 {

DWORD fileDialogFlags(const FileDialogRequest& request) {
  DWORD flags = 0;
  if (request.save) {
    if (request.confirmOverwrite) flags |= OFN_OVERWRITEPROMPT;
    if (request.folderMustExist) flags |= OFN_PATHMUSTEXIST;
  } else {
    flags |= OFN_HIDEREADONLY;
    if (request.fileMustExist) flags |= OFN_FILEMUSTEXIST;
  }
  return flags;
}

std::wstring fileDialogFilter(const FileDialogRequest& request) {
  std::wstring list;
  for (const FileFilter& filter : request.filters) {
    list += widen(filter.label);
    list += L'\0';
    for (std::size_t i = 0; i < filter.patterns.size(); ++i) {
      if (i > 0) list += L';';
      list += filter.patterns[i] == "*" ? std::wstring(L"*.*") : widen(filter.patterns[i]);
    }
    list += L'\0';
  }
  if (!list.empty()) list += L'\0';
  return list;
}

}  // namespace Win32

bool runFileDialog(const FileDialogRequest& request, std::filesystem::path& chosen) {
  const std::wstring filter = Win32::fileDialogFilter(request);
  const std::wstring title = widen(request.title);
  const std::wstring defaultExtension = widen(request.defaultExtension);
  std::vector<wchar_t> file(Win32::kFileDialogPathCapacity, L'\0');

  OPENFILENAMEW record{};
  record.lStructSize = sizeof record;
  record.hwndOwner = static_cast<HWND>(request.owner);
  record.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  record.lpstrFile = file.data();
  record.nMaxFile = static_cast<DWORD>(file.size());
  record.lpstrTitle = title.empty() ? nullptr : title.c_str();
  record.Flags = Win32::fileDialogFlags(request);
  record.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();

  const BOOL accepted = request.save ? GetSaveFileNameW(&record) : GetOpenFileNameW(&record);
  if (!accepted || file[0] == L'\0') return false;
  chosen = std::filesystem::path(std::wstring(file.data()));
  return true;
}

void showMessage(const MessageRequest& request) {
  const std::wstring text = widen(request.text);
  const std::wstring caption = widen(request.caption);
  const UINT icon = request.icon == MessageRequest::kError ? MB_ICONERROR : MB_ICONINFORMATION;
  MessageBoxW(static_cast<HWND>(request.owner), text.c_str(), caption.c_str(), MB_OK | icon);
}

}  // namespace VSTGUI::Platform
