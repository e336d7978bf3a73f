// Drag and drop onto the frame's window: the OLE drop target and the drag
// container that hands the dropped texts and files to the views as UTF-8.
#include "toolkit/platform/win32/win32types.h"  // windows.h first

#include <shellapi.h>
#include <shlobj.h>

#include <atomic>
#include <cwchar>
#include <string>

#include "toolkit/cdragcontainer.h"
#include "toolkit/cframe.h"
#include "toolkit/textconvert.h"

namespace VSTGUI {

namespace {

std::string toUtf8(const wchar_t* text) {
  const std::u16string u16(text, text + std::wcslen(text));
  return utf16ToUtf8(u16);
}

bool hasFormat(IDataObject* data, CLIPFORMAT format) {
  FORMATETC request = {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  return data->QueryGetData(&request) == S_OK;
}

/// The target of a shortcut file, or the path itself when it is no shortcut.
std::wstring resolveShortcut(const std::wstring& path) {
  const std::size_t dot = path.find_last_of(L'.');
  if (dot == std::wstring::npos || _wcsicmp(path.c_str() + dot, L".lnk") != 0) return path;
  std::wstring target = path;
  IShellLinkW* link = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link)))) {
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      wchar_t resolved[MAX_PATH] = {};
      if (SUCCEEDED(file->Load(path.c_str(), STGM_READ)) &&
          SUCCEEDED(link->GetPath(resolved, MAX_PATH, nullptr, 0)) && resolved[0])
        target = resolved;
      file->Release();
    }
    link->Release();
  }
  return target;
}

}  // namespace

/// The items of an OLE data object: one Unicode text, or the dropped files.
class WinDragContainer : public CDragContainer {
 public:
  explicit WinDragContainer(IDataObject* platformDrag) : platformDrag(platformDrag) {
    platformDrag->AddRef();
    if (hasFormat(platformDrag, CF_UNICODETEXT)) {
      isText = true;
      nbItems = 1;
    } else if (hasFormat(platformDrag, CF_HDROP)) {
      FORMATETC request = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
      STGMEDIUM medium = {};
      if (platformDrag->GetData(&request, &medium) == S_OK) {
        if (auto drop = static_cast<HDROP>(GlobalLock(medium.hGlobal))) {
          nbItems = static_cast<std::int32_t>(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0));
          GlobalUnlock(medium.hGlobal);
        }
        ReleaseStgMedium(&medium);
      }
    }
  }
  ~WinDragContainer() override { platformDrag->Release(); }

  void* first(std::int32_t& size, std::int32_t& type) override {
    iterator = 0;
    return next(size, type);
  }

  void* next(std::int32_t& size, std::int32_t& type) override {
    item.clear();
    if (iterator >= nbItems) {
      type = kError;
      size = 0;
      return nullptr;
    }
    const std::int32_t index = iterator++;
    FORMATETC request = {static_cast<CLIPFORMAT>(isText ? CF_UNICODETEXT : CF_HDROP), nullptr,
                         DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (platformDrag->GetData(&request, &medium) != S_OK) {
      type = kError;
      size = 0;
      return nullptr;
    }
    if (void* locked = GlobalLock(medium.hGlobal)) {
      if (isText) {
        item = toUtf8(static_cast<const wchar_t*>(locked));
        type = kUnicodeText;
      } else {
        wchar_t path[MAX_PATH] = {};
        DragQueryFileW(static_cast<HDROP>(locked), static_cast<UINT>(index), path, MAX_PATH);
        item = toUtf8(resolveShortcut(path).c_str());
        type = kFile;
      }
      GlobalUnlock(medium.hGlobal);
    }
    ReleaseStgMedium(&medium);
    size = static_cast<std::int32_t>(item.size());
    return item.data();
  }

  std::int32_t getType(std::int32_t index) const override {
    if (index < 0 || index >= nbItems) return kError;
    return isText ? kUnicodeText : kFile;
  }
  std::int32_t getCount() const override { return nbItems; }

 private:
  IDataObject* platformDrag;
  bool isText = false;
  std::int32_t nbItems = 0;
  std::int32_t iterator = 0;
  std::string item;
};

/// The frame window's OLE drop target.
class CDropTarget final : public IDropTarget {
 public:
  explicit CDropTarget(CFrame* frame) : pFrame(frame) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDropTarget) {
      *object = static_cast<IDropTarget*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refCount; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refCount;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    releaseContainer();
    if (data) gDragContainer = new WinDragContainer(data);
    CPoint where;
    pFrame->getCurrentMouseLocation(where);
    pFrame->onDragEnter(gDragContainer, where);
    chooseEffect(effect);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
    CPoint where;
    pFrame->getCurrentMouseLocation(where);
    pFrame->onDragMove(gDragContainer, where);
    chooseEffect(effect);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override {
    CPoint where;
    pFrame->getCurrentMouseLocation(where);
    pFrame->onDragLeave(gDragContainer, where);
    releaseContainer();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD, POINTL, DWORD* effect) override {
    CPoint where;
    pFrame->getCurrentMouseLocation(where);
    pFrame->onDrop(gDragContainer, where);
    releaseContainer();
    chooseEffect(effect);
    return S_OK;
  }

 private:
  ~CDropTarget() = default;

  static void chooseEffect(DWORD* effect) {
    if (!effect) return;
    if (*effect & DROPEFFECT_COPY)
      *effect = DROPEFFECT_COPY;
    else if (*effect & DROPEFFECT_MOVE)
      *effect = DROPEFFECT_MOVE;
    else
      *effect = DROPEFFECT_LINK;
  }
  static void releaseContainer() {
    if (gDragContainer) {
      gDragContainer->forget();
      gDragContainer = nullptr;
    }
  }

  CFrame* pFrame;
  std::atomic<ULONG> refCount{1};
  // The one drag in progress in the process.
  static inline CDragContainer* gDragContainer = nullptr;
};

namespace Platform {

DropTarget* registerDropTarget(Window* window, CFrame* frame) {
  if (!window) return nullptr;
  auto* target = new CDropTarget(frame);
  if (RegisterDragDrop(window->hwnd, target) != S_OK) {
    target->Release();
    return nullptr;
  }
  return new DropTarget{target};
}

void revokeDropTarget(Window* window, DropTarget* target) {
  if (window) RevokeDragDrop(window->hwnd);
  if (target) {
    target->target->Release();
    delete target;
  }
}

}  // namespace Platform
}  // namespace VSTGUI
