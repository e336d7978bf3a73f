// What the win32 platform does with the window system on the toolkit's behalf, under
// Wine: OLE held for as long as a frame lives and balanced on its thread (and nothing
// undone on a thread the host runs in another COM apartment), and the common dialog's
// record made from a file dialog request.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <thread>

#include "tests/dialog_requests.h"
#include "toolkit/cframe.h"
#include "toolkit/platform/win32/file_dialogs_win32.h"

using namespace VSTGUI;
using namespace std::string_view_literals;

namespace {

/// How OLE stands on the calling thread, which is left as it was: S_OK when nothing had
/// initialised it, S_FALSE when something had, RPC_E_CHANGED_MODE in a multi-threaded apartment.
HRESULT oleOnThisThread() {
  const HRESULT result = OleInitialize(nullptr);
  if (SUCCEEDED(result)) OleUninitialize();
  return result;
}

/// Runs on a thread of its own, whose COM nothing else has touched.
template <typename Body>
void onFreshThread(Body body) {
  std::thread thread(body);
  thread.join();
}

}  // namespace

TEST(WinePlatform, AFrameHoldsOleForItsLifeAndBalancesIt) {
  onFreshThread([] {
    EXPECT_EQ(oleOnThisThread(), S_OK) << "a fresh thread";
    CFrame* frame = new CFrame(CRect(0, 0, 100, 100), nullptr, nullptr);
    EXPECT_EQ(oleOnThisThread(), S_FALSE) << "the frame initialised it";
    frame->forget();
    EXPECT_EQ(oleOnThisThread(), S_OK) << "and balanced it";
  });
}

TEST(WinePlatform, AFrameOnAThreadOfAnotherApartmentUndoesNothing) {
  onFreshThread([] {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);  // the host's own COM
    CFrame* frame = new CFrame(CRect(0, 0, 100, 100), nullptr, nullptr);
    frame->forget();
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE) << "the host's COM is still there";
    CoUninitialize();
    CoUninitialize();
  });
}

TEST(WinePlatform, AFileDialogRequestBecomesTheCommonDialogsRecord) {
  const Platform::FileDialogRequest save = dialog_requests::savePreset();
  EXPECT_EQ(Platform::Win32::fileDialogFlags(save), DWORD{0x802}) << "OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST";
  EXPECT_EQ(Platform::Win32::fileDialogFilter(save), L"Preset Files (*.zyp)\0*.zyp\0All Files (*.*)\0*.*\0\0"sv);
  EXPECT_EQ(Platform::Win32::fileDialogFlags(dialog_requests::loadPreset()), DWORD{0x1004})
      << "OFN_FILEMUSTEXIST | OFN_HIDEREADONLY";

  EXPECT_EQ(Platform::Win32::kFileDialogPathCapacity, 260u) << "MAX_PATH characters";
}
