// zynka.dll's editor in a real top-level window under Wine, opened as a DAW opens it:
// effEditGetRect for the window's size, effEditOpen with the window's handle and
// effEditIdle on a 15 ms timer. Checked: the window's pixels against the golden
// image the headless editor draws (fonts differ a little), clicks and drags posted
// to the window reaching the host callback, typing into the name field, closing and
// opening again, and the program menu's "Save Preset..." and "Load Preset..." with
// the real common dialogs, answered by a second thread as a user would.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "editor/layout.h"
#include "host/aeffect.h"
#include "host/opcodes.h"
#include "tests/gesture_host.h"
#include "tests/toolkit/wine_window_util.h"
#include "tests/wine/editor_pixels.h"

namespace {

namespace layout = zynka::layout;
using wine_editor::widen;
constexpr int kWidth = layout::kWindowWidth;
constexpr int kHeight = layout::kWindowHeight;

AEffect* gEffect = nullptr;

/// The host's editor window: its timer idles the editor, as hosts do.
LRESULT CALLBACK hostWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && gEffect) {
    gEffect->dispatcher(gEffect, effEditIdle, 0, 0, nullptr, 0.0f);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

/// Waits on another thread for a visible top-level window of a class (and title), or null
/// after ten seconds.
HWND waitForWindow(const wchar_t* className, const wchar_t* title = nullptr) {
  const ULONGLONG end = GetTickCount64() + 10000;
  while (GetTickCount64() < end) {
    HWND found = FindWindowW(className, title);
    if (found && IsWindowVisible(found)) return found;
    Sleep(10);
  }
  return nullptr;
}

class EditorHost : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { gdiplusToken = wine_editor::startHostSuite(L"ZynkaTestHost", hostWindowProc); }
  static void TearDownTestSuite() { Gdiplus::GdiplusShutdown(gdiplusToken); }

  void SetUp() override {
    gesture_host::log().clear();
    library = LoadLibraryW(widen(ZYNKA_DLL_PATH).c_str());
    ASSERT_NE(library, nullptr);
    auto entry = reinterpret_cast<AEffect* (*)(audioMasterCallback)>(
        reinterpret_cast<void*>(GetProcAddress(library, "VSTPluginMain")));
    ASSERT_NE(entry, nullptr);
    effect = entry(gesture_host::callback);
    ASSERT_NE(effect, nullptr);
    dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    dispatch(effMainsChanged, 0, 1);
    openEditor();
  }
  void TearDown() override {
    closeEditor();
    gEffect = nullptr;
    if (effect) dispatch(effClose);
    if (library) FreeLibrary(library);
  }

  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
  }
  void openEditor() {
    ERect* rect = nullptr;
    ASSERT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_EQ(rect->right - rect->left, kWidth);
    ASSERT_EQ(rect->bottom - rect->top, kHeight);
    RECT outer = {0, 0, rect->right, rect->bottom};
    AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
    host = CreateWindowExW(0, L"ZynkaTestHost", L"ZYNKA", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20,
                           outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(host, nullptr);
    ASSERT_EQ(dispatch(effEditOpen, 0, 0, host), 1);
    gEffect = effect;
    SetTimer(host, 1, 15, nullptr);
    frame = GetWindow(host, GW_CHILD);
    ASSERT_NE(frame, nullptr);
    pumpPending();
  }
  void closeEditor() {
    if (!host) return;
    KillTimer(host, 1);
    dispatch(effEditClose);
    DestroyWindow(host);
    host = frame = nullptr;
    pumpPending();
  }
  void post(UINT message, WPARAM keys, int x, int y) { PostMessageW(frame, message, keys, MAKELPARAM(x, y)); }
  /// Clicks and delivers messages until the host heard `last` (then what is pending too).
  void click(int x, int y, const std::string& last = "") {
    post(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
    post(WM_LBUTTONUP, 0, x, y);
    if (!last.empty()) heard(last);
    pumpPending();
  }
  bool heard(const std::string& last) {
    return pumpUntil([&] { return !gesture_host::log().empty() && gesture_host::log().back() == last; });
  }
  /// Clicks the middle of a view's place (and waits as click does).
  void click(const layout::Rect& place, const std::string& last = "") {
    click(layout::centre(place).x, layout::centre(place).y, last);
  }
  /// Chooses a program-menu entry with the keys, from another thread while the popup waits.
  /// The popup menu and the dialog run their loops inside the click's dispatch on this
  /// thread, so once the chooser is done and the click's dispatch has returned, the command
  /// has run.
  void chooseMenuEntry(int downPresses, const std::function<void()>& thenOnTheSameThread) {
    std::atomic<bool> done{false};
    std::thread chooser([&] {
      if (HWND popup = waitForWindow(L"#32768")) {
        for (int i = 0; i < downPresses; ++i) PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 1);
        PostMessageW(popup, WM_KEYDOWN, VK_RETURN, 1);
        thenOnTheSameThread();
      }
      done = true;
    });
    post(WM_LBUTTONDOWN, MK_LBUTTON, layout::centre(layout::kProgramMenu).x, layout::centre(layout::kProgramMenu).y);
    EXPECT_TRUE(pumpUntil([&] { return done.load(); }, 30.0)) << "the menu command ended";
    chooser.join();
    pumpPending();
  }
  std::string programName() {
    char name[32] = {};
    dispatch(effGetProgramName, 0, 0, name);
    return name;
  }
  void expectLooksLike(const char* name) { EXPECT_TRUE(wine_editor::looksLike(frame, name)); }

  static ULONG_PTR gdiplusToken;
  HMODULE library = nullptr;
  AEffect* effect = nullptr;
  HWND host = nullptr;
  HWND frame = nullptr;
};

ULONG_PTR EditorHost::gdiplusToken = 0;

}  // namespace

TEST_F(EditorHost, TheWindowShowsTheEditorAndTakesTheMouseAndKeys) {
  expectLooksLike("fresh");

  gesture_host::log().clear();
  click(layout::kNextButton, "end 103");
  EXPECT_EQ(gesture_host::log(), (std::vector<std::string>{"begin 103", "automate 103 1", "automate 103 0", "end 103"}));
  EXPECT_EQ(programName(), "Jazz E.Piano");

  gesture_host::log().clear();
  wine_editor::postCoarseDrag(frame);
  heard("end 2");
  pumpPending();
  EXPECT_EQ(gesture_host::log(), (std::vector<std::string>{"begin 2", "automate 2 1", "automate 2 0", "end 2"}));

  // The name field: a real edit box takes typed text, Return renames the program.
  click(layout::kProgramName);
  HWND box = nullptr;
  pumpUntil([&] { return (box = FindWindowExW(frame, nullptr, L"EDIT", nullptr)) != nullptr; });
  ASSERT_NE(box, nullptr);
  for (wchar_t c : std::wstring(L"Glass Bells")) PostMessageW(box, WM_CHAR, c, 1);
  PostMessageW(box, WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_TRUE(pumpUntil([&] { return programName() == "Glass Bells"; })) << programName();

  // Closed and opened again: a complete editor once more.
  closeEditor();
  openEditor();
  dispatch(effSetProgram, 0, 0);
  effect->setParameter(effect, 2, 0.842f);
  expectLooksLike("fresh");
}

TEST_F(EditorHost, SavePresetAndLoadPresetUseTheCommonDialogs) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + L"zynka-editor-host";
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring path = folder + L"\\bright.zyp";
  DeleteFileW(path.c_str());

  // Answers a file dialog: checks its title and file type, then types the path and OKs,
  // or cancels.
  std::wstring seenTitle, seenType;
  auto answerDialog = [&](const wchar_t* title, bool ok) {
    return [&, title, ok] {
      HWND dialog = waitForWindow(L"#32770", title);
      if (!dialog) return;
      seenTitle = title;
      wchar_t type[128] = {};
      SendMessageTimeoutW(GetDlgItem(dialog, 0x470), WM_GETTEXT, 128, reinterpret_cast<LPARAM>(type), SMTO_BLOCK,
                          2000, nullptr);
      seenType = type;
      if (!ok) {
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return;
      }
      HWND name = GetDlgItem(dialog, 0x47C);  // the name box (a combo box with an edit)
      if (!name) name = GetDlgItem(dialog, 0x480);
      SendMessageTimeoutW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()), SMTO_BLOCK, 2000, nullptr);
      PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    };
  };

  // Cancel changes nothing.
  chooseMenuEntry(1, answerDialog(L"Save Preset", false));
  EXPECT_EQ(seenTitle, L"Save Preset");
  EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);

  chooseMenuEntry(1, answerDialog(L"Save Preset", true));
  EXPECT_NE(seenType.find(L"*.zyp"), std::wstring::npos) << "the preset filter";
  ASSERT_NE(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES) << "the preset was saved";

  // Change the program, then load the file back into it.
  effect->setParameter(effect, 16, 0.25f);
  dispatch(effSetProgramName, 0, 0, const_cast<char*>("Changed"));
  seenTitle.clear();
  chooseMenuEntry(2, answerDialog(L"Load Preset", true));
  EXPECT_EQ(seenTitle, L"Load Preset");
  EXPECT_EQ(programName(), "Bright E.Piano");
  EXPECT_EQ(effect->getParameter(effect, 16), 1.0f);
  DeleteFileW(path.c_str());
  RemoveDirectoryW(folder.c_str());
}

// --- the wheel under a host that forwards it, and OLE ------------------------------------------

namespace {

/// What a forwarding host saw of the wheel.
struct WheelSeen {
  int turns = 0;     // wheel messages the system gave the host, handled to the end
  int returned = 0;  // wheel messages that came back to the host from its child
  int scrolled = 0;  // wheel messages the host used itself
};

/// Makes the host's window one that hands every wheel message it gets to the child window under
/// the pointer, as hosts do for a system that sends the wheel to the focused window. A message
/// the child passes back is forwarded again, at most kDepth deep (the host's guard against
/// endless recursion); beyond that the host uses it itself, to scroll.
class ForwardingHost {
 public:
  static constexpr int kDepth = 10;
  explicit ForwardingHost(HWND window) : window(window) {
    seen = WheelSeen{};
    hostProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
  }
  ~ForwardingHost() { SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hostProc)); }

  static inline WheelSeen seen;

 private:
  static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_MOUSEWHEEL) return CallWindowProcW(hostProc, hwnd, message, wParam, lParam);
    if (depth > 0) ++seen.returned;
    POINT where = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ScreenToClient(hwnd, &where);
    HWND under = ChildWindowFromPointEx(hwnd, where, CWP_SKIPINVISIBLE);
    if (under && under != hwnd && depth < kDepth) {
      ++depth;
      SendMessageW(under, WM_MOUSEWHEEL, wParam, lParam);
      --depth;
    } else {
      ++seen.scrolled;
    }
    if (depth == 0) ++seen.turns;
    return 0;
  }

  HWND window;
  static inline WNDPROC hostProc = nullptr;
  static inline int depth = 0;
};

/// How OLE stands on the calling thread, which is left as it was: S_OK when nothing had
/// initialised it, S_FALSE when something had, RPC_E_CHANGED_MODE in a multi-threaded apartment.
HRESULT oleOnThisThread() {
  const HRESULT result = OleInitialize(nullptr);
  if (SUCCEEDED(result)) OleUninitialize();
  return result;
}

}  // namespace

TEST_F(EditorHost, OneWheelNotchIsOneStepUnderAHostThatForwardsTheWheel) {
  ForwardingHost forwarding(host);
  auto turnAt = [&](int x, int y) {
    POINT where = {x, y};
    ClientToScreen(frame, &where);
    const int turns = ForwardingHost::seen.turns;
    PostMessageW(host, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(where.x, where.y));
    return pumpUntil([&] { return ForwardingHost::seen.turns > turns; });
  };

  // Over the Tuning knob (0.5): one step of 0.1, and nothing goes back to the host.
  gesture_host::log().clear();
  ASSERT_TRUE(turnAt(layout::centre(layout::placeOf(zynka::kTuning).rect).x,
                     layout::centre(layout::placeOf(zynka::kTuning).rect).y));
  EXPECT_EQ(gesture_host::log(), (std::vector<std::string>{"begin 15", "automate 15 0.6", "end 15"}));
  EXPECT_EQ(effect->getParameter(effect, 15), 0.6f);
  EXPECT_EQ(ForwardingHost::seen.returned, 0) << "the frame kept the notch it used";
  EXPECT_EQ(ForwardingHost::seen.scrolled, 0);

  // Over no control (the panel's corner) the notch goes on to the host's window, which may
  // scroll with it.
  gesture_host::log().clear();
  ASSERT_TRUE(turnAt(20, 20));
  EXPECT_TRUE(gesture_host::log().empty());
  EXPECT_GT(ForwardingHost::seen.returned, 0) << "the unused notch reached the host's window";
  EXPECT_EQ(ForwardingHost::seen.scrolled, 1);
}

TEST(EditorOle, TheEditorHoldsOleForItsLifeOnTheThreadThatMadeIt) {
  // On threads of their own, whose COM nothing else has touched.
  // Makes the plug-in (and with it the editor) and closes it; how OLE stood in between.
  auto makeAndClose = []() -> HRESULT {
    HMODULE library = LoadLibraryW(widen(ZYNKA_DLL_PATH).c_str());
    auto entry = library ? reinterpret_cast<AEffect* (*)(audioMasterCallback)>(
                               reinterpret_cast<void*>(GetProcAddress(library, "VSTPluginMain")))
                         : nullptr;
    AEffect* effect = entry ? entry(gesture_host::callback) : nullptr;
    if (!effect) {
      ADD_FAILURE() << "the plug-in was not made";
      if (library) FreeLibrary(library);
      return E_FAIL;
    }
    const HRESULT during = oleOnThisThread();
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    FreeLibrary(library);
    return during;
  };
  std::thread([&] {
    EXPECT_EQ(oleOnThisThread(), S_OK) << "a fresh thread";
    EXPECT_EQ(makeAndClose(), S_FALSE) << "the editor initialised OLE";
    EXPECT_EQ(oleOnThisThread(), S_OK) << "and balanced it when the plug-in closed";
  }).join();
  std::thread([&] {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);  // the host's own COM
    EXPECT_EQ(makeAndClose(), RPC_E_CHANGED_MODE);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE) << "the host's COM is still there";
    CoUninitialize();
    CoUninitialize();
  }).join();
}
