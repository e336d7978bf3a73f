// The editor as the UI library opens it: the editor of the instance's own Plugin (the
// host offered instance-access), or of a private Plugin that mirrors the ports (it did not;
// the program bank is then the UI's own). Gestures and values reach the UI through the
// host callback (hostCallback); a program the plug-in changed to reaches the ports at the
// next idle.
#include <cstring>
#include <memory>
#include <new>

#include "editor/aeffguieditor.h"
#include "editor/editor.h"
#include "lv2/instance.h"
#include "toolkit/platform/platform.h"

namespace zynka::lv2 {

namespace {

/// A plug-in of the UI's own: it renders nothing, and shows the voice count the host reports.
class PrivatePlugin : public Plugin {
 public:
  PrivatePlugin() : Plugin(hostCallback, createEditor) {}
  int getActiveVoiceCount() override { return voices; }
  int voices = 0;
};

}  // namespace

struct EditorSession {
  Plugin* plugin = nullptr;
  HostSide* side = nullptr;
  std::unique_ptr<PrivatePlugin> own;
  HostSide ownSide;
  UiLink link{};     // the UI's
  UiLink through{};  // what the host callback calls: the session's own functions below
  // The port values the host reported or the UI wrote, so a changed program writes only what differs.
  float known[kNumParams] = {};
  bool isKnown[kNumParams] = {};

  AEffGUIEditor* editor() const { return dynamic_cast<AEffGUIEditor*>(plugin->getEditor()); }

  void write(int index, float value) {
    known[index] = value;
    isKnown[index] = true;
    link.write(link.ui, index, value);
  }

  /// After a program change, the ports take the plug-in's values.
  void writeProgram() {
    for (int i = 0; i < kNumParams; ++i) {
      const float value = plugin->getParameter(i);
      if (!isKnown[i] || std::memcmp(&known[i], &value, sizeof value) != 0) write(i, value);
    }
  }
};

namespace {

/// Between the plug-in's notices and the UI: a written value is known to be the port's.
void writeThrough(void* session, int index, float value) { static_cast<EditorSession*>(session)->write(index, value); }

void touchThrough(void* session, int index, bool grabbed) {
  auto* s = static_cast<EditorSession*>(session);
  s->link.touch(s->link.ui, index, grabbed);
}

EditorSession* attach(void* handle, const UiLink* link) {
  if (!link) return nullptr;
  auto* session = new (std::nothrow) EditorSession;
  if (!session) return nullptr;
  session->link = *link;
  if (handle) {
    auto* instance = static_cast<Instance*>(handle);
    session->plugin = instance->plugin;
    session->side = &instance->side;
  } else {
    try {
      session->own = std::make_unique<PrivatePlugin>();
    } catch (...) {
      delete session;
      return nullptr;
    }
    session->own->getAeffect()->user = &session->ownSide;
    session->plugin = session->own.get();
    session->side = &session->ownSide;
  }
  if (!session->editor()) {  // the plug-in has no editor (no memory when it was made)
    delete session;
    return nullptr;
  }
  // The plug-in's notices go to the session, which remembers what it wrote and passes them on.
  session->through = UiLink{session, writeThrough, touchThrough};
  session->side->programChanged.store(false, std::memory_order_relaxed);
  session->side->link.store(&session->through, std::memory_order_release);
  return session;
}

void detach(EditorSession* session) {
  if (!session) return;
  if (AEffGUIEditor* editor = session->editor()) editor->close();
  // Only its own link: a later session on the same instance keeps its.
  const UiLink* own = &session->through;
  session->side->link.compare_exchange_strong(own, nullptr, std::memory_order_acq_rel);
  delete session;
}

void getSize(EditorSession* session, int* width, int* height) {
  ERect* rect = nullptr;
  session->editor()->getRect(&rect);
  *width = rect ? rect->right - rect->left : 0;
  *height = rect ? rect->bottom - rect->top : 0;
}

std::uintptr_t open(EditorSession* session, void* parent) {
  AEffGUIEditor* editor = session->editor();
  if (!editor->open(parent) || !editor->getFrame()) return 0;
  return VSTGUI::Platform::getNativeWindow(editor->getFrame()->getPlatformWindow());
}

int idle(EditorSession* session) {
  AEffGUIEditor* editor = session->editor();
  if (!editor->getFrame()) return 1;
  editor->idle();
  if (session->side->programChanged.exchange(false, std::memory_order_acq_rel)) session->writeProgram();
  return editor->getFrame() ? 0 : 1;
}

void portEvent(EditorSession* session, std::uint32_t port, float value) {
  if (port < static_cast<std::uint32_t>(kNumParams)) {
    const int index = static_cast<int>(port);
    session->known[index] = value;
    session->isKnown[index] = true;
    if (session->own)
      session->plugin->setParameter(index, value);  // the private plug-in follows the ports
    else if (EditorLink* link = session->plugin->getEditorLink())
      link->setParameter(index, value);  // the instance takes it at its next block
  } else if (port == static_cast<std::uint32_t>(kVoicesPort) && session->own) {
    session->own->voices = value >= 0 && value <= kNumVoices ? static_cast<int>(value) : 0;
  }
}

}  // namespace

const EditorAccess kEditorAccess = {kEditorAccessMagic, attach, detach, getSize, open, idle, portEvent};

}  // namespace zynka::lv2
