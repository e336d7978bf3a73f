// The controls' native parts under Wine, in a real frame window: the EDIT box of a
// text edit (opened with its text selected, typed into with posted WM_CHAR, closed
// by Return), the popup menu of an option menu (a choice made in it with the keys),
// and a knob dragged with posted mouse messages.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "toolkit/cknob.h"
#include "toolkit/coptionmenu.h"
#include "toolkit/ctextedit.h"
#include "wine_window_util.h"

/// The program's module, defined with the other window tests.
extern void* hInstance;

using namespace VSTGUI;

namespace {

struct Listener : CControlListener {
  void valueChanged(CControl* control) override {
    tags.push_back(control->getTag());
    values.push_back(control->getValue());
    if (auto* edit = dynamic_cast<CTextEdit*>(control)) texts.push_back(edit->getText());
  }
  std::vector<std::int32_t> tags;
  std::vector<float> values;
  std::vector<std::string> texts;
};

struct Editor : VSTGUIEditorInterface {
  std::int32_t getKnobMode() const override { return kLinearMode; }
  void beginEdit(std::int32_t tag) override { edits.push_back(tag); }
  void endEdit(std::int32_t tag) override { edits.push_back(-tag); }
  std::vector<std::int32_t> edits;
};

/// A host window with a frame in it.
class WineControls : public ::testing::Test {
 protected:
  void SetUp() override {
    host = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40,
                           600, 300, nullptr, nullptr, static_cast<HINSTANCE>(hInstance), nullptr);
    ASSERT_NE(host, nullptr);
    frame = new CFrame(CRect(0, 0, 520, 220), host, &editor);
    child = GetWindow(host, GW_CHILD);
    ASSERT_NE(child, nullptr);
  }
  void TearDown() override {
    if (frame) frame->forget();
    DestroyWindow(host);
  }
  void post(UINT message, WPARAM wParam, int x, int y) {
    PostMessageW(child, message, wParam, MAKELPARAM(x, y));
  }

  HWND host = nullptr;
  HWND child = nullptr;
  CFrame* frame = nullptr;
  Editor editor;
  Listener listener;
};

/// The text of a window of this thread.
std::wstring textOf(HWND hwnd) {
  wchar_t buffer[300] = {};
  GetWindowTextW(hwnd, buffer, 300);
  return buffer;
}

}  // namespace

TEST_F(WineControls, EditBoxOpensSelectedAndCommitsTypedTextOnReturn) {
  auto* edit = new CTextEdit(CRect(16, 90, 188, 106), &listener, 102, "Bright E.Piano");
  edit->setBackColor(CColor{10, 20, 30, 255});
  frame->addView(edit);
  edit->forget();

  post(WM_LBUTTONDOWN, MK_LBUTTON, 50, 98);
  post(WM_LBUTTONUP, 0, 50, 98);
  HWND box = nullptr;
  pumpUntil([&] { return (box = FindWindowExW(child, nullptr, L"EDIT", nullptr)) != nullptr; });
  ASSERT_NE(box, nullptr) << "a native EDIT box over the field";
  pumpPending();
  EXPECT_EQ(textOf(box), L"Bright E.Piano");
  DWORD start = 1, end = 0;
  SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 14u) << "the whole text is selected";
  RECT r;
  GetWindowRect(box, &r);
  MapWindowPoints(nullptr, child, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 16);
  EXPECT_EQ(r.top, 90);
  EXPECT_EQ(r.right - r.left, 173);
  EXPECT_EQ(GetFocus(), box);

  for (wchar_t c : std::wstring(L"Glass \u00e9")) PostMessageW(box, WM_CHAR, c, 1);
  EXPECT_TRUE(pumpUntil([&] { return textOf(box) == L"Glass \u00e9"; })) << "typed: " << textOf(box).size();
  PostMessageW(box, WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_TRUE(pumpUntil([&] { return FindWindowExW(child, nullptr, L"EDIT", nullptr) == nullptr; }))
      << "Return closed the box";
  ASSERT_EQ(listener.texts.size(), 1u);
  EXPECT_EQ(listener.texts[0], "Glass \xC3\xA9");
  EXPECT_EQ(editor.edits, (std::vector<std::int32_t>{102, -102}));
}

TEST_F(WineControls, PopupMenuChoiceReachesTheListener) {
  auto* menu = new COptionMenu(CRect(10, 10, 26, 26), &listener, 105);
  for (const char* title : {"Save Preset...", "Load Preset...", "-", "Program 1", "Program 2"})
    menu->addEntry(title);
  frame->addView(menu);
  menu->forget();

  // The popup runs its own loop on this thread: another thread finds it and chooses
  // the fourth entry with the keys (the separator is skipped).
  std::atomic<bool> seen{false}, done{false};
  std::thread chooser([&seen, &done] {
    const ULONGLONG end = GetTickCount64() + 10000;
    while (!seen && GetTickCount64() < end) {
      HWND popup = FindWindowW(L"#32768", nullptr);
      if (popup && IsWindowVisible(popup)) {
        seen = true;
        for (WPARAM key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}) PostMessageW(popup, WM_KEYDOWN, key, 1);
      } else {
        Sleep(10);
      }
    }
    done = true;
  });
  post(WM_LBUTTONDOWN, MK_LBUTTON, 15, 15);
  // The popup's loop runs inside the click's dispatch: the choice is made once it returns.
  pumpUntil([&] { return done && !listener.values.empty(); });
  chooser.join();
  pumpPending();
  EXPECT_TRUE(seen) << "the popup menu window appeared";
  ASSERT_EQ(listener.values.size(), 1u);
  EXPECT_EQ(listener.values[0], 3.0f) << "the item's index, the separator counted";
  EXPECT_EQ(editor.edits, (std::vector<std::int32_t>{105, -105}));
  EXPECT_EQ(frame->getFocusView(), nullptr);
}

TEST_F(WineControls, KnobDraggedWithPostedMouseMessagesReportsItsValues) {
  auto* knob = new CKnob(CRect(300, 80, 364, 144), &listener, 4, nullptr, nullptr);
  frame->addView(knob);
  knob->forget();
  post(WM_LBUTTONDOWN, MK_LBUTTON, 332, 112);
  post(WM_MOUSEMOVE, MK_LBUTTON, 352, 92);  // 20 up, 20 right of a 200-pixel range
  post(WM_MOUSEMOVE, MK_LBUTTON, 382, 62);
  post(WM_LBUTTONUP, 0, 382, 62);
  pumpUntil([&] { return editor.edits.size() == 2; });  // the gesture ended
  pumpPending();
  ASSERT_EQ(listener.values.size(), 2u);
  EXPECT_NEAR(listener.values[0], 0.2f, 1e-6);
  EXPECT_NEAR(listener.values[1], 0.5f, 1e-6);
  EXPECT_EQ(editor.edits, (std::vector<std::int32_t>{4, -4}));
}
