// What only the Windows build can show: zynka.dll loads through LoadLibrary in a
// Windows process that has no MinGW runtime, both entry names work, and DllMain
// keeps the module instance handle. Also that the Wine prefix of the test run can
// hold the editor's windows and finds its font.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "host/aeffect.h"
#include "host/opcodes.h"

namespace {

std::wstring widen(const std::string& text) {
  int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n > 0 ? n : 1), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, out.data(), n);
  out.resize(out.size() - 1);
  return out;
}

std::wstring pluginPath() {
  const char* fromEnvironment = std::getenv("ZYNKA_PLUGIN");
  return widen(fromEnvironment != nullptr && *fromEnvironment != '\0' ? fromEnvironment : ZYNKA_DLL_PATH);
}

VstIntPtr versionAnswer = 2400;

VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? versionAnswer : 0;
}

using EntryProc = AEffect* (*)(audioMasterCallback);

class Library {
 public:
  explicit Library(const std::wstring& path) : module_(LoadLibraryW(path.c_str())), error_(GetLastError()) {}
  ~Library() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;
  HMODULE module() const { return module_; }
  DWORD error() const { return error_; }
  template <typename Proc>
  Proc proc(const char* name) const {
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

 private:
  HMODULE module_;
  DWORD error_;
};

TEST(WindowsModule, DllMainKeepsTheModuleInstanceHandle) {
  Library probe(widen(PROBE_DLL_PATH));
  ASSERT_NE(probe.module(), nullptr) << "LoadLibraryW error " << probe.error();
  auto instance = probe.proc<void* (*)()>("zynkaModuleInstance");
  ASSERT_NE(instance, nullptr);
  EXPECT_EQ(instance(), static_cast<void*>(probe.module()));
}

TEST(WindowsModule, LoadsWithoutAnyMinGWRuntime) {
  Library zynka(pluginPath());
  ASSERT_NE(zynka.module(), nullptr) << "LoadLibraryW error " << zynka.error();
  // Linked statically: none of the MinGW runtime DLLs came in with it.
  for (const wchar_t* runtime : {L"libstdc++-6.dll", L"libgcc_s_seh-1.dll", L"libwinpthread-1.dll"})
    EXPECT_EQ(GetModuleHandleW(runtime), nullptr) << "loaded " << std::string(runtime, runtime + wcslen(runtime));
}

TEST(WindowsModule, BothEntryNamesCreateTheEffect) {
  Library zynka(pluginPath());
  ASSERT_NE(zynka.module(), nullptr) << "LoadLibraryW error " << zynka.error();
  for (const char* name : {"VSTPluginMain", "main"}) {
    SCOPED_TRACE(name);
    auto entry = zynka.proc<EntryProc>(name);
    ASSERT_NE(entry, nullptr);

    versionAnswer = 0;  // a host that does not answer gets no plug-in
    EXPECT_EQ(entry(hostCallback), nullptr);

    versionAnswer = 2400;
    AEffect* effect = entry(hostCallback);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->magic, kEffectMagic);
    EXPECT_EQ(effect->uniqueID, 0x2D535E31);
    EXPECT_EQ(effect->numOutputs, 2);
    char name32[kVstMaxEffectNameLen + 1] = {};
    EXPECT_EQ(effect->dispatcher(effect, effGetEffectName, 0, 0, name32, 0.0f), 1);
    EXPECT_STREQ(name32, "ZYNKA");
    EXPECT_EQ(effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f), 1);
  }
}

TEST(WineEnvironment, WindowsOpenOnTheTestDisplay) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"ZynkaWineTestWindow";
  ATOM atom = RegisterClassW(&windowClass);
  ASSERT_NE(atom, 0) << "RegisterClassW error " << GetLastError();
  HWND window = CreateWindowExW(0, L"ZynkaWineTestWindow", L"test", WS_OVERLAPPEDWINDOW, 0, 0, 856, 392, nullptr,
                                nullptr, windowClass.hInstance, nullptr);
  ASSERT_NE(window, nullptr) << "CreateWindowExW error " << GetLastError() << ": is there a display?";
  EXPECT_GE(GetSystemMetrics(SM_CXSCREEN), 856);
  HDC dc = GetDC(window);
  EXPECT_NE(dc, nullptr);
  ReleaseDC(window, dc);
  EXPECT_TRUE(DestroyWindow(window));
  UnregisterClassW(L"ZynkaWineTestWindow", windowClass.hInstance);
}

TEST(WineEnvironment, GdiplusFindsArial) {
  namespace Gdip = Gdiplus::DllExports;
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  ASSERT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr), Gdiplus::Ok);
  // The prefix maps Arial to Liberation Sans, as the editor's normal path expects.
  Gdiplus::GpFontFamily* family = nullptr;
  EXPECT_EQ(Gdip::GdipCreateFontFamilyFromName(L"Arial", nullptr, &family), Gdiplus::Ok);
  EXPECT_NE(family, nullptr);
  if (family != nullptr) Gdip::GdipDeleteFontFamily(family);
  Gdiplus::GdiplusShutdown(token);
}

}  // namespace
