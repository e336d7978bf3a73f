// The program menu's "Save Preset..." and "Load Preset..." as file dialog requests, for
// the tests of how each platform shows a request.
#pragma once

#include "toolkit/platform/file_dialogs.h"

namespace dialog_requests {

inline VSTGUI::Platform::FileDialogRequest savePreset() {
  VSTGUI::Platform::FileDialogRequest request;
  request.save = true;
  request.title = "Save Preset";
  request.filters = {{"Preset Files (*.zyp)", {"*.zyp"}}, {"All Files (*.*)", {"*"}}};
  request.defaultExtension = "zyp";
  request.confirmOverwrite = true;
  request.folderMustExist = true;
  return request;
}

inline VSTGUI::Platform::FileDialogRequest loadPreset() {
  VSTGUI::Platform::FileDialogRequest request = savePreset();
  request.save = false;
  request.title = "Load Preset";
  request.confirmOverwrite = request.folderMustExist = false;
  request.fileMustExist = true;
  return request;
}

}  // namespace dialog_requests
