// Helpers for the toolkit's window tests under Wine.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

/// Delivers the messages already waiting (paints, posted input), without waiting for more.
inline void pumpPending() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

/// Delivers messages until done() holds or `seconds` have passed; then done()'s answer. The
/// time is only a bound for a failure: a busy machine makes the wait longer, never wrong.
inline bool pumpUntil(const std::function<bool()>& done, double seconds = 10.0) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000.0);
  for (;;) {
    pumpPending();
    if (done()) return true;
    if (GetTickCount64() >= end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

/// Reads the window's pixels as 0xRRGGBB through a bitmap copy of its device.
inline std::vector<std::uint32_t> grab(HWND hwnd, int width, int height) {
  HDC windowDc = GetDC(hwnd);
  HDC memory = CreateCompatibleDC(windowDc);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
  GdiFlush();
  std::vector<std::uint32_t> pixels(static_cast<const std::uint32_t*>(bits),
                                    static_cast<const std::uint32_t*>(bits) + width * height);
  for (auto& p : pixels) p &= 0xFFFFFF;
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(hwnd, windowDc);
  return pixels;
}
