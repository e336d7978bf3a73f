// A DLL built around the plug-in's DllMain that hands out what DllMain stored, so a
// test can compare it with the handle the loader returns.
extern void* hInstance;

extern "C" __declspec(dllexport) void* zynkaModuleInstance() { return hInstance; }
