// The toolkit as it lives in a host: inside a DLL that the host program loads. The
// program here has no pictures of its own, so the frame can only paint its background
// if the toolkit finds it among the DLL's resources; the frame's window class must be
// the DLL's (named after and registered with the DLL's handle, not the program's), be
// gone when the last frame closes, and let the DLL unload and load again, as a DAW
// reopens editors and reloads plug-ins.
#include <windows.h>

#include <gtest/gtest.h>
#include "../wine_window_util.h"

#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr int kBackgroundWidth = 856;
constexpr int kBackgroundHeight = 392;

/// The probe DLL beside this program, by full path as a host loads a plug-in.
std::wstring probePath() {
  wchar_t path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, n);
  folder.erase(folder.find_last_of(L"\\/") + 1);
  return folder + L"toolkit_probe.dll";
}

/// The probe's exported functions, looked up after LoadLibraryW.
struct Probe {
  HMODULE module = nullptr;
  void* (*moduleHandle)() = nullptr;
  void (*bitmapSize)(int*, int*) = nullptr;
  HWND (*openFrame)(HWND) = nullptr;
  bool (*framePainted)() = nullptr;
  void (*closeFrame)() = nullptr;

  template <typename Proc>
  void find(Proc& proc, const char* name) {
    proc = reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  }
  bool load() {
    module = LoadLibraryW(probePath().c_str());
    if (module == nullptr) return false;
    find(moduleHandle, "probeModule");
    find(bitmapSize, "probeBitmapSize");
    find(openFrame, "probeOpenFrame");
    find(framePainted, "probeFramePainted");
    find(closeFrame, "probeCloseFrame");
    return moduleHandle && bitmapSize && openFrame && framePainted && closeFrame;
  }
};

/// A top-level window of this program standing in for the host's editor window.
class HostWindow {
 public:
  HostWindow() {
    hwnd = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40,
                           kBackgroundWidth + 40, kBackgroundHeight + 60, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  }
  ~HostWindow() {
    if (hwnd != nullptr) DestroyWindow(hwnd);
  }
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;
  HWND hwnd = nullptr;
};

/// The background test picture at (x, y): red x mod 256, green y mod 256, blue 128.
std::uint32_t backgroundPixel(int x, int y) {
  return static_cast<std::uint32_t>((x % 256) << 16 | (y % 256) << 8 | 128);
}

/// The frame window class name the toolkit gives the module with this handle.
std::wstring className(const void* module) {
  wchar_t name[64];
  std::swprintf(name, 64, L"Plugin%p", module);
  return name;
}

bool classRegistered(HMODULE module, const std::wstring& name) {
  WNDCLASSEXW info = {};
  info.cbSize = sizeof info;
  return GetClassInfoExW(module, name.c_str(), &info) != 0;
}

/// The module whose image holds the address, without taking a reference to it.
HMODULE moduleAt(const void* address) {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     static_cast<LPCWSTR>(address), &module);
  return module;
}

/// One editor session: load the DLL, open a frame in a host window, check what the
/// toolkit did with the module, close and unload.
void loadOpenCloseAndFree() {
  const HMODULE program = GetModuleHandleW(nullptr);
  ASSERT_EQ(FindResourceW(program, L"Background", L"DATA"), nullptr) << "the program must not hold the picture";

  Probe probe;
  ASSERT_TRUE(probe.load()) << "LoadLibraryW or GetProcAddress error " << GetLastError();
  const HMODULE dll = probe.module;
  EXPECT_EQ(probe.moduleHandle(), static_cast<void*>(dll)) << "the toolkit's module is the DLL";
  const std::wstring dllClass = className(dll);
  const std::wstring programClass = className(program);
  EXPECT_FALSE(classRegistered(dll, dllClass)) << "no class before the first frame";

  int width = 0, height = 0;
  probe.bitmapSize(&width, &height);
  EXPECT_EQ(width, kBackgroundWidth) << "\"Background\" found among the DLL's resources";
  EXPECT_EQ(height, kBackgroundHeight);

  {
    HostWindow host;
    ASSERT_NE(host.hwnd, nullptr) << "CreateWindowExW error " << GetLastError();
    HWND frame = probe.openFrame(host.hwnd);
    ASSERT_NE(frame, nullptr) << "the frame opened with its background";
    EXPECT_EQ(GetParent(frame), host.hwnd);

    // The class is the DLL's: named after its handle, registered with it, its window
    // procedure inside it; nothing was registered under the program's name. (The class
    // is global, so GetClassInfoExW would find it through any module handle.)
    wchar_t name[64] = {};
    GetClassNameW(frame, name, 64);
    EXPECT_EQ(std::wstring(name), dllClass);
    EXPECT_TRUE(classRegistered(dll, dllClass));
    EXPECT_FALSE(classRegistered(program, programClass));
    EXPECT_EQ(reinterpret_cast<HMODULE>(GetClassLongPtrW(frame, GCLP_HMODULE)), dll);
    EXPECT_EQ(reinterpret_cast<HMODULE>(GetWindowLongPtrW(frame, GWLP_HINSTANCE)), dll);
    EXPECT_EQ(moduleAt(reinterpret_cast<const void*>(GetClassLongPtrW(frame, GCLP_WNDPROC))), dll);

    RECT client = {};
    GetClientRect(frame, &client);
    EXPECT_EQ(client.right - client.left, kBackgroundWidth);
    EXPECT_EQ(client.bottom - client.top, kBackgroundHeight);

    UpdateWindow(frame);
    EXPECT_TRUE(pumpUntil([&] { return probe.framePainted(); })) << "WM_PAINT reached the frame";
    const auto pixels = grab(frame, kBackgroundWidth, kBackgroundHeight);
    const int places[][2] = {{0, 0}, {300, 100}, {255, 255}, {256, 256}, {600, 300}, {855, 391}};
    for (const auto& place : places) {
      const int x = place[0], y = place[1];
      EXPECT_EQ(pixels[static_cast<std::size_t>(y * kBackgroundWidth + x)], backgroundPixel(x, y))
          << "background pixel at " << x << ", " << y;
    }

    probe.closeFrame();
    EXPECT_FALSE(IsWindow(frame)) << "closing destroys the frame's window";
    EXPECT_FALSE(classRegistered(dll, dllClass)) << "the last frame unregisters the class";
  }

  ASSERT_TRUE(FreeLibrary(dll)) << "FreeLibrary error " << GetLastError();
  EXPECT_EQ(GetModuleHandleW(probePath().c_str()), nullptr) << "the DLL is unloaded";
}

}  // namespace

// A DAW reopens editors and may unload and reload the plug-in between them.
TEST(ToolkitInADll, EachOfTwoSessionsUsesTheDllsPicturesAndWindowClass) {
  for (int session = 1; session <= 2; ++session) {
    SCOPED_TRACE(session);
    loadOpenCloseAndFree();
    if (HasFatalFailure()) return;
  }
}
