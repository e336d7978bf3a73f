// The real win32 frame under Wine: pictures decoded by GDI+ from the program's
// "DATA" resources, a frame window painted through WM_PAINT and read back pixel by
// pixel, posted clicks and wheel turns reaching the right view, and the window class
// registered once per process and unregistered with the last frame.
#include <windows.h>

#include <gtest/gtest.h>
#include "wine_window_util.h"

#include <cwchar>
#include <vector>

#include "toolkit/cbitmap.h"
#include "toolkit/cdrawcontext.h"
#include "toolkit/cframe.h"
#include "toolkit/platform/win32/win32types.h"

// The module whose resources and window class the toolkit uses: this program.
void* hInstance = GetModuleHandleW(nullptr);

using namespace VSTGUI;

namespace {

struct Event {
  const char* what;
  CPoint where;
  CButton buttons;
};

class ClickView : public CView {
 public:
  ClickView(const CRect& r, std::vector<Event>* log) : CView(r), log(log) {}
  CMouseEventResult onMouseDown(const CPoint& where, const CButton& buttons) override {
    log->push_back({"down", where, buttons});
    return kMouseEventHandled;
  }
  CMouseEventResult onMouseUp(const CPoint& where, const CButton& buttons) override {
    log->push_back({"up", where, buttons});
    return kMouseEventHandled;
  }
  bool onWheel(const CPoint& where, const float& distance, const CButton& buttons) override {
    log->push_back({"wheel", where, buttons});
    lastWheel = distance;
    return true;
  }
  std::vector<Event>* log;
  float lastWheel = 0.f;
};

/// A top-level window standing in for the host's editor window.
class HostWindow {
 public:
  HostWindow(int width, int height) {
    hwnd = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN,
                           40, 40, width + 40, height + 60, nullptr, nullptr,
                           static_cast<HINSTANCE>(hInstance), nullptr);
  }
  ~HostWindow() { DestroyWindow(hwnd); }
  HWND hwnd;
};

HWND frameWindow(HWND host) { return GetWindow(host, GW_CHILD); }

std::wstring className() {
  wchar_t name[64];
  std::swprintf(name, 64, L"Plugin%p", hInstance);
  return name;
}

bool classRegistered() {
  WNDCLASSEXW info = {};
  info.cbSize = sizeof info;
  return GetClassInfoExW(static_cast<HINSTANCE>(hInstance), className().c_str(), &info) != 0;
}

}  // namespace

TEST(WineBitmaps, PngResourcesDecodeToPremultipliedArgb) {
  CBitmap* strip = new CBitmap(CResourceDescription("Strip"));
  ASSERT_EQ(strip->getWidth(), 64);
  ASSERT_EQ(strip->getHeight(), 6464);
  EXPECT_TRUE(Platform::isPremultipliedArgb(strip->getPlatformImage()));
  CBitmap* missing = new CBitmap(CResourceDescription("NoSuchPicture"));
  EXPECT_EQ(missing->getWidth(), 0);
  missing->forget();
  strip->forget();
}

TEST(WineBitmaps, FilmStripAndAlphaOnAnOffscreenImage) {
  CBitmap* strip = new CBitmap(CResourceDescription("STRIP"));
  CBitmap* alpha = new CBitmap(CResourceDescription("alpha"));
  auto* canvas = new COffscreenContext(nullptr, 64, 64);
  canvas->setFillColor(kWhiteCColor);
  canvas->fillRect(CRect(0, 0, 64, 64));
  strip->draw(canvas, CRect(0, 0, 64, 32), CPoint(0, 3200));
  alpha->drawTransparent(canvas, CRect(0, 32, 64, 64), CPoint(0, 0));
  canvas->setFrameColor(kBlackCColor);
  canvas->drawRect(CRect(10, 10, 20, 20), kDrawStroked);
  Gdiplus::GpBitmap* image = canvas->getBitmap()->getPlatformImage()->bitmap;
  auto pixel = [&](int x, int y) {
    Gdiplus::ARGB argb = 0;
    Gdiplus::DllExports::GdipBitmapGetPixel(image, x, y, &argb);
    return static_cast<std::uint32_t>(argb);
  };
  EXPECT_EQ(pixel(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(pixel(30, 5), 0xFF32CD64u) << "image 50 of the strip";
  EXPECT_EQ(pixel(5, 40), 0xFFFF0000u);
  const std::uint32_t blended = pixel(50, 40);
  EXPECT_NEAR(int((blended >> 16) & 0xFF), 127, 2);
  EXPECT_EQ(blended & 0xFF, 0xFFu);
  EXPECT_EQ(pixel(10, 10), 0xFF000000u);
  EXPECT_EQ(pixel(19, 19), 0xFF000000u);
  EXPECT_EQ(pixel(20, 20), 0xFF32CD64u) << "the outline ends on the last pixel inside";
  EXPECT_EQ(pixel(11, 11), 0xFF32CD64u);
  canvas->forget();
  alpha->forget();
  strip->forget();
}

TEST(WineText, ArialIsFoundAndMeasured) {
  auto* canvas = new COffscreenContext(nullptr, 200, 40);
  canvas->setFont(kNormalFont);
  const CCoord width = canvas->getStringWidth("Voices 07");
  EXPECT_GT(width, 30);
  EXPECT_LT(width, 90);
  canvas->setFont(kNormalFont);
  CFontDesc* odd = new CFontDesc("No Such Family", 12, 0);
  canvas->setFont(odd);
  EXPECT_GT(canvas->getStringWidth("Voices 07"), 0) << "a missing family falls back to another";
  odd->forget();
  canvas->forget();
}

TEST(WineFrame, PaintsTheBackgroundFromTheResourcesThroughWmPaint) {
  HostWindow host(856, 392);
  ASSERT_NE(host.hwnd, nullptr) << "CreateWindowExW error " << GetLastError();
  CFrame* frame = new CFrame(CRect(0, 0, 856, 392), host.hwnd, nullptr);
  HWND child = frameWindow(host.hwnd);
  ASSERT_NE(child, nullptr);
  CBitmap* background = new CBitmap(CResourceDescription("Background"));
  frame->setBackground(background);
  background->forget();
  std::vector<Event> log;
  auto* box = new ClickView(CRect(100, 100, 164, 164), &log);
  CBitmap* strip = new CBitmap(CResourceDescription("Strip"));
  box->setBackground(strip);
  strip->forget();
  frame->addView(box);
  frame->idle();
  UpdateWindow(child);
  EXPECT_TRUE(pumpUntil([&] { return !frame->isFirstDraw(); })) << "WM_PAINT reached the frame";
  pumpPending();
  const auto pixels = grab(child, 856, 392);
  EXPECT_EQ(pixels[100 * 856 + 300], (44u << 16) | (100u << 8) | 128u);
  EXPECT_EQ(pixels[391 * 856 + 855], (87u << 16) | (135u << 8) | 128u);
  EXPECT_EQ(pixels[100 * 856 + 100], 0xFFFFFFu) << "the strip's first corner marker";
  EXPECT_EQ(pixels[120 * 856 + 120], (0u << 16) | (255u << 8) | 0u) << "strip image 0";
  frame->forget();
}

TEST(WineFrame, PostedClicksAndWheelReachTheRightView) {
  HostWindow host(400, 300);
  CFrame* frame = new CFrame(CRect(0, 0, 400, 300), host.hwnd, nullptr);
  HWND child = frameWindow(host.hwnd);
  std::vector<Event> left, right;
  auto* a = new ClickView(CRect(10, 10, 60, 60), &left);
  auto* b = new ClickView(CRect(100, 10, 150, 60), &right);
  frame->addView(a);
  frame->addView(b);
  PostMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(120, 30));
  pumpUntil([&] { return !right.empty(); });
  EXPECT_EQ(GetCapture(), child) << "a handled click captures the mouse";
  PostMessageW(child, WM_LBUTTONUP, 0, MAKELPARAM(125, 31));
  pumpUntil([&] { return right.size() >= 2; });
  pumpPending();
  EXPECT_NE(GetCapture(), child);
  EXPECT_TRUE(left.empty());
  ASSERT_EQ(right.size(), 2u);
  EXPECT_STREQ(right[0].what, "down");
  EXPECT_EQ(right[0].where, CPoint(120, 30));
  EXPECT_EQ(right[0].buttons & (kLButton | kShift), kLButton | kShift);
  EXPECT_STREQ(right[1].what, "up");

  RECT r;
  GetWindowRect(child, &r);
  PostMessageW(child, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-240)), MAKELPARAM(r.left + 20, r.top + 20));
  pumpUntil([&] { return !left.empty(); });
  pumpPending();
  ASSERT_EQ(left.size(), 1u);
  EXPECT_STREQ(left[0].what, "wheel");
  EXPECT_EQ(left[0].where, CPoint(20, 20)) << "the screen position minus the window's";
  EXPECT_EQ(a->lastWheel, -2.f);
  PostMessageW(child, WM_MOUSEWHEEL, MAKEWPARAM(0, 60), MAKELPARAM(r.left + 20, r.top + 20));
  for (const DWORD deadline = GetTickCount() + 5000; left.size() < 2 && int(deadline - GetTickCount()) > 0; Sleep(5)) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
  ASSERT_EQ(left.size(), 2u);
  EXPECT_EQ(a->lastWheel, 0.f) << "whole notches of 120 only";
  frame->forget();
}

TEST(WineFrame, WindowClassIsRegisteredOnceAndUnregisteredWithTheLastFrame) {
  EXPECT_FALSE(classRegistered());
  HostWindow host(200, 100);
  CFrame* first = new CFrame(CRect(0, 0, 100, 100), host.hwnd, nullptr);
  EXPECT_TRUE(classRegistered());
  CFrame* second = new CFrame(CRect(0, 0, 100, 100), host.hwnd, nullptr);
  ASSERT_NE(second->getPlatformWindow(), nullptr) << "the second frame reuses the class";
  wchar_t name[64] = {};
  GetClassNameW(frameWindow(host.hwnd), name, 64);
  EXPECT_EQ(std::wstring(name), className());
  first->forget();
  EXPECT_TRUE(classRegistered());
  second->forget();
  EXPECT_FALSE(classRegistered());
  EXPECT_EQ(GDIPlusGlobals::get(), nullptr);
}
