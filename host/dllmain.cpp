// The DLL's load-time hook: keeps the module's instance handle for the editor, which
// registers its window class and finds its bitmap resources through it.
#include <windows.h>

/// The module instance handle of zynka.dll, set when the DLL is loaded.
void* hInstance = nullptr;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) hInstance = instance;
  return TRUE;
}
