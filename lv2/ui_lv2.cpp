// zynka_ui.so: ZYNKA's editor as an LV2 UI (ui:X11UI) in the host's window (ui:parent),
// driven by the host's idle calls. The editor itself lives in zynka_dsp.so with the
// plug-in (editor_access.h): with instance-access it edits the instance's plug-in, so the
// program menu, names and file commands work on the real bank; without, it edits a private
// plug-in whose 17 values follow and move the ports.
#include <dlfcn.h>
#include <lv2/core/lv2.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>

#include <cstring>
#include <new>
#include <string>

#include "lv2/bundle.h"
#include "lv2/editor_access.h"

namespace zynka::lv2 {

namespace {

struct Ui {
  LV2UI_Write_Function write = nullptr;
  LV2UI_Controller controller = nullptr;
  const LV2UI_Touch* touch = nullptr;
  const EditorAccess* access = nullptr;
  EditorSession* session = nullptr;
  void* library = nullptr;  // zynka_dsp.so, opened for a private plug-in
};

const void* feature(const LV2_Feature* const* features, const char* uri) {
  for (; features && *features; ++features)
    if (std::strcmp((*features)->URI, uri) == 0) return (*features)->data;
  return nullptr;
}

void writePort(void* ui, int index, float value) {
  auto* self = static_cast<Ui*>(ui);
  self->write(self->controller, static_cast<uint32_t>(index), sizeof value, 0, &value);
}

void touchPort(void* ui, int index, bool grabbed) {
  auto* self = static_cast<Ui*>(ui);
  if (self->touch) self->touch->touch(self->touch->handle, static_cast<uint32_t>(index), grabbed);
}

/// The editor access of the plug-in library in this bundle, for a private plug-in.
const EditorAccess* openLibrary(Ui& ui, const char* bundlePath) {
  std::string path = bundlePath ? bundlePath : "";
  if (!path.empty() && path.back() != '/') path += '/';
  path += kDspBinary;
  ui.library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!ui.library) return nullptr;
  using DescriptorFunction = const LV2_Descriptor* (*)(uint32_t);
  auto function = reinterpret_cast<DescriptorFunction>(dlsym(ui.library, "lv2_descriptor"));
  const LV2_Descriptor* descriptor = function ? function(0) : nullptr;
  return descriptor ? static_cast<const EditorAccess*>(descriptor->extension_data(kEditorAccessUri)) : nullptr;
}

void cleanup(LV2UI_Handle handle) {
  auto* ui = static_cast<Ui*>(handle);
  if (ui->session) ui->access->detach(ui->session);
  if (ui->library) dlclose(ui->library);
  delete ui;
}

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char* bundlePath,
                         LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                         const LV2_Feature* const* features) {
  void* parent = const_cast<void*>(feature(features, LV2_UI__parent));
  if (!parent || !write || !widget || !pluginUri || std::strcmp(pluginUri, kPluginUri) != 0) return nullptr;
  auto* ui = new (std::nothrow) Ui;
  if (!ui) return nullptr;
  ui->write = write;
  ui->controller = controller;
  ui->touch = static_cast<const LV2UI_Touch*>(feature(features, LV2_UI__touch));

  // The instance's handle starts with its editor access (lv2/instance.h).
  void* instance = const_cast<void*>(feature(features, LV2_INSTANCE_ACCESS_URI));
  if (instance) {
    ui->access = *static_cast<const EditorAccess* const*>(instance);
    if (!ui->access || !ui->access->magic || std::strcmp(ui->access->magic, kEditorAccessMagic) != 0) {
      ui->access = nullptr;
      instance = nullptr;
    }
  }
  if (!ui->access) ui->access = openLibrary(*ui, bundlePath);

  const UiLink link{ui, writePort, touchPort};
  if (ui->access) ui->session = ui->access->attach(instance, &link);
  const std::uintptr_t window = ui->session ? ui->access->open(ui->session, parent) : 0;
  if (!window) {
    cleanup(ui);
    return nullptr;
  }
  *widget = reinterpret_cast<LV2UI_Widget>(window);

  // The size never changes; hosts that size their window from ui:resize hear it once.
  if (const auto* resize = static_cast<const LV2UI_Resize*>(feature(features, LV2_UI__resize))) {
    int width = 0;
    int height = 0;
    ui->access->getSize(ui->session, &width, &height);
    resize->ui_resize(resize->handle, width, height);
  }
  return ui;
}

void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
  auto* ui = static_cast<Ui*>(handle);
  if (format != 0 || size != sizeof(float) || !buffer) return;  // control ports only
  float value;
  std::memcpy(&value, buffer, sizeof value);
  ui->access->portEvent(ui->session, port, value);
}

int idle(LV2UI_Handle handle) {
  auto* ui = static_cast<Ui*>(handle);
  return ui->access->idle(ui->session);
}

const LV2UI_Idle_Interface kIdleInterface = {idle};

const void* extensionData(const char* uri) {
  return std::strcmp(uri, LV2_UI__idleInterface) == 0 ? &kIdleInterface : nullptr;
}

const LV2UI_Descriptor kDescriptor = {kUiUri, instantiate, cleanup, portEvent, extensionData};

}  // namespace

}  // namespace zynka::lv2

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
  return index == 0 ? &zynka::lv2::kDescriptor : nullptr;
}
