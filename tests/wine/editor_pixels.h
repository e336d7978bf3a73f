// The editor's window under Wine against its golden images (tests/editor/golden, drawn by the
// headless platform), and a drag of a fader.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "editor/layout.h"
#include "tests/toolkit/wine_window_util.h"

namespace wine_editor {

inline std::wstring widen(const std::string& text) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n > 0 ? n : 1), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, out.data(), n);
  out.resize(out.size() - 1);
  return out;
}

/// A test suite's set-up: GDI+ started (for the golden images; the token to shut it down), and
/// the class of the host's editor window registered with its window procedure.
inline ULONG_PTR startHostSuite(const wchar_t* hostClass, WNDPROC hostProc) {
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartupInput input;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = hostProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = hostClass;
  RegisterClassW(&windowClass);
  return token;
}

/// The golden image's pixels as 0xRRGGBB (GDI+ must be started).
inline std::vector<std::uint32_t> goldenPixels(const char* name) {
  constexpr int kWidth = zynka::layout::kWindowWidth, kHeight = zynka::layout::kWindowHeight;
  std::vector<std::uint32_t> pixels;
  const std::wstring path = L"Z:" + widen(std::string(EDITOR_GOLDEN_DIR) + "/" + name + ".png");
  Gdiplus::GpBitmap* bitmap = nullptr;
  if (Gdiplus::DllExports::GdipCreateBitmapFromFile(path.c_str(), &bitmap) != Gdiplus::Ok) return pixels;
  pixels.resize(kWidth * kHeight);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      Gdiplus::ARGB argb = 0;
      Gdiplus::DllExports::GdipBitmapGetPixel(bitmap, x, y, &argb);
      pixels[y * kWidth + x] = argb & 0xFFFFFF;
    }
  Gdiplus::DllExports::GdipDisposeImage(bitmap);
  return pixels;
}

inline int channelDifference(std::uint32_t a, std::uint32_t b) {
  int largest = 0;
  for (int shift = 0; shift < 24; shift += 8)
    largest = std::max(largest, std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)));
  return largest;
}

/// How far the window's pixels are from a golden image's; empty when they agree: text may be
/// drawn a little differently by GDI+, so a few hundred pixels may differ, and the rest agrees
/// closely.
inline std::string unlike(const std::vector<std::uint32_t>& shown, const std::vector<std::uint32_t>& golden) {
  constexpr int kWidth = zynka::layout::kWindowWidth;
  int differing = 0;
  for (std::size_t i = 0; i < shown.size() && i < golden.size(); ++i)
    if (channelDifference(shown[i], golden[i]) > 24) ++differing;
  if (differing >= 2500) return std::to_string(differing) + " pixels unlike";
  // Away from the panel's text the pictures agree: the Volume knob, the Coarse slider.
  for (const auto& [x, y] : {std::pair{760, 112}, std::pair{750, 100}, std::pair{88, 230}, std::pair{20, 20}})
    if (channelDifference(shown[y * kWidth + x], golden[y * kWidth + x]) > 4)
      return "unlike at " + std::to_string(x) + "," + std::to_string(y);
  return {};
}

/// The window shows the golden image `name` now.
inline ::testing::AssertionResult showsGolden(HWND window, const char* name) {
  constexpr int kWidth = zynka::layout::kWindowWidth, kHeight = zynka::layout::kWindowHeight;
  const std::vector<std::uint32_t> golden = goldenPixels(name);
  if (golden.size() != std::size_t(kWidth * kHeight)) return ::testing::AssertionFailure() << "no golden " << name;
  const std::string why = unlike(grab(window, kWidth, kHeight), golden);
  if (!why.empty()) return ::testing::AssertionFailure() << name << ": " << why;
  return ::testing::AssertionSuccess();
}

/// The window comes to show the golden image `name`: the editor's idle paints what changed,
/// so the picture is waited for while messages are delivered (a deadline bounds a failure).
inline ::testing::AssertionResult looksLike(HWND window, const char* name) {
  pumpUntil([&] { return static_cast<bool>(showsGolden(window, name)); });
  return showsGolden(window, name);
}

/// Posts a drag of the Coarse fader from its top (1) to its bottom (0) to the editor's window:
/// where the handle's grip line is there.
inline void postCoarseDrag(HWND frame) {
  namespace layout = zynka::layout;
  const layout::Rect coarse = layout::placeOf(zynka::kCoarse).rect;
  const int x = layout::centre(coarse).x;
  const int top = coarse.top + layout::kSliderHandleHeight / 2 - 1;
  const int bottom = coarse.bottom - layout::kSliderHandleHeight / 2 - 1;
  PostMessageW(frame, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, top));
  PostMessageW(frame, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, bottom));
  PostMessageW(frame, WM_LBUTTONUP, 0, MAKELPARAM(x, bottom));
}

}  // namespace wine_editor
