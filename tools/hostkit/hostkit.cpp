#include "tools/hostkit/hostkit.h"

#include <algorithm>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace hostkit {
namespace {

// Vendor and product strings go into the plug-in's buffer of 64 characters plus a zero.
constexpr const char* kVendor = "ZYNKA";
constexpr const char* kProduct = "zynka-render";
constexpr VstIntPtr kVendorVersion = 1000;
constexpr VstIntPtr kLanguageEnglish = 1;
constexpr std::size_t kReservedCalls = 1 << 14;

// The host whose instantiate() is running the entry function on this thread.
thread_local Host* tInstantiating = nullptr;

/// Keeps a loader message to one line.
std::string oneLine(std::string text) {
  std::replace(text.begin(), text.end(), '\n', ' ');
  std::replace(text.begin(), text.end(), '\r', ' ');
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

void copyText(void* ptr, const char* text, std::size_t limit) {
  if (ptr == nullptr) return;
  auto* out = static_cast<char*>(ptr);
  std::size_t n = std::min(std::strlen(text), limit);
  std::memcpy(out, text, n);
  out[n] = '\0';
}

/// The answers of a simple offline host; host is null for a call no host can claim.
VstIntPtr answer(const Host* host, VstInt32 opcode, void* ptr) {
  switch (opcode) {
    case audioMasterVersion:
      return host != nullptr ? host->versionAnswer : kVstVersion;
    case audioMasterGetSampleRate:
      return static_cast<VstIntPtr>(host != nullptr ? host->sampleRate : 44100.0f);
    case audioMasterGetBlockSize:
      return host != nullptr ? host->blockSize : 512;
    case audioMasterGetVendorString:
      copyText(ptr, kVendor, kVstMaxVendorStrLen);
      return 1;
    case audioMasterGetProductString:
      copyText(ptr, kProduct, kVstMaxProductStrLen);
      return 1;
    case audioMasterGetVendorVersion:
      return kVendorVersion;
    case audioMasterCanDo:
      return hostCanDo(static_cast<const char*>(ptr));
    case audioMasterGetLanguage:
      return kLanguageEnglish;
    case audioMasterUpdateDisplay:
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
      return 1;
    default:
      // Automation, idle, time info, latency, windows, files: nothing to give.
      return 0;
  }
}

}  // namespace

VstIntPtr hostCanDo(const char* text) {
  if (text == nullptr) return 0;
  // A render host sends events to the plug-in and nothing else.
  static constexpr const char* kYes[] = {"sendVstEvents", "sendVstMidiEvent"};
  static constexpr const char* kNo[] = {
      "sendVstTimeInfo",      "receiveVstEvents",  "receiveVstMidiEvent",
      "reportConnectionChanges", "acceptIOChanges", "sizeWindow",
      "offline",              "openFileSelector",  "closeFileSelector",
      "startStopProcess",     "shellCategory",     "sendVstMidiEventFlagIsRealtime",
      "supplyIdle",           "editFile",          "asyncProcessing",
      "supportShell"};
  for (const char* t : kYes)
    if (std::strcmp(text, t) == 0) return 1;
  for (const char* t : kNo)
    if (std::strcmp(text, t) == 0) return -1;
  return 0;
}

// ---------------------------------------------------------------------------
// PluginLibrary

PluginLibrary::PluginLibrary(void* handle, std::string path)
    : handle_(handle), path_(std::move(path)) {}

#ifdef _WIN32

namespace {
std::wstring widen(const std::string& text) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::string systemMessage(DWORD code) {
  char* buffer = nullptr;
  DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
  std::string text = n != 0 && buffer != nullptr ? std::string(buffer, n)
                                                 : "error " + std::to_string(code);
  if (buffer != nullptr) LocalFree(buffer);
  return oneLine(text);
}
}  // namespace

std::unique_ptr<PluginLibrary> PluginLibrary::load(const std::string& path, std::string& error) {
  HMODULE module = LoadLibraryW(widen(path).c_str());
  if (module == nullptr) {
    error = "cannot load " + path + ": " + systemMessage(GetLastError());
    return nullptr;
  }
  return std::unique_ptr<PluginLibrary>(new PluginLibrary(module, path));
}

PluginLibrary::~PluginLibrary() { FreeLibrary(static_cast<HMODULE>(handle_)); }

void* PluginLibrary::symbol(const char* name) const {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

#else

std::unique_ptr<PluginLibrary> PluginLibrary::load(const std::string& path, std::string& error) {
  // The path names a file: without a slash dlopen would search the library path instead.
  const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
  // RTLD_LOCAL keeps the plug-in's symbols from mixing with the host's or another plug-in's.
  void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* why = dlerror();
    error = "cannot load " + path + ": " + oneLine(why != nullptr ? why : "unknown error");
    return nullptr;
  }
  return std::unique_ptr<PluginLibrary>(new PluginLibrary(handle, path));
}

PluginLibrary::~PluginLibrary() { dlclose(handle_); }

void* PluginLibrary::symbol(const char* name) const { return dlsym(handle_, name); }

#endif

PluginLibrary::EntryProc PluginLibrary::entry() const {
  void* proc = symbol("VSTPluginMain");
  if (proc == nullptr) proc = symbol("main");
  return reinterpret_cast<EntryProc>(proc);
}

// ---------------------------------------------------------------------------
// Host

Host::Host() { calls_.reserve(kReservedCalls); }

Host::~Host() = default;

std::size_t Host::countCalls(VstInt32 opcode) const {
  return static_cast<std::size_t>(std::count_if(
      calls_.begin(), calls_.end(), [opcode](const HostCall& c) { return c.opcode == opcode; }));
}

AEffect* Host::instantiate(const PluginLibrary& lib, std::string& error) {
  PluginLibrary::EntryProc entry = lib.entry();
  if (entry == nullptr) {
    error = lib.path() + " is not a VST2 plug-in: it exports neither VSTPluginMain nor main";
    return nullptr;
  }
  Host* outer = tInstantiating;
  tInstantiating = this;
  AEffect* effect = entry(&Host::callback);
  tInstantiating = outer;
  if (effect == nullptr) {
    error = lib.path() + ": the plug-in's entry function returned no effect";
    return nullptr;
  }
  if (effect->magic != kEffectMagic) {
    // Not ours to close: a record without the magic may not even have a dispatcher.
    error = lib.path() + " is not a VST2 plug-in: its effect record has no VstP magic";
    return nullptr;
  }
  effect->user = this;
  return effect;
}

VstIntPtr Host::callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                         void* ptr, float opt) {
  Host* host = nullptr;
  if (effect != nullptr && effect->user != nullptr)
    host = static_cast<Host*>(effect->user);
  else
    host = tInstantiating;  // the entry function is still running on this thread
  if (host != nullptr && host->recordCalls) {
    if (host->calls_.size() < host->calls_.capacity())
      host->calls_.push_back(HostCall{opcode, index, value, ptr, opt, effect == nullptr});
    else
      ++host->droppedCalls_;
  }
  return answer(host, opcode, ptr);
}

VstIntPtr Host::dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                         void* ptr, float opt) {
  if (effect == nullptr || effect->dispatcher == nullptr) return 0;
  return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

void Host::start(AEffect* effect) {
  dispatch(effect, effSetSampleRate, 0, 0, nullptr, sampleRate);
  dispatch(effect, effSetBlockSize, 0, blockSize);
  dispatch(effect, effMainsChanged, 0, 1);
}

void Host::close(AEffect* effect) {
  dispatch(effect, effMainsChanged, 0, 0);
  dispatch(effect, effClose);
}

}  // namespace hostkit
