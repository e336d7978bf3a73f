#include "tools/zynka-snapshot/snapshot.h"

#include "editor/editor.h"
#include "editor/layout.h"
#include "engine/plugin.h"
#include "toolkit/platform/headless/headless.h"

/// The plug-in's own factory, which the exported entry function calls.
AudioEffect* createEffectInstance(audioMasterCallback audioMaster);

namespace zynka::snapshot {

namespace {

VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? 2400 : 0;
}

/// Any non-null value stands for the host's window on the in-memory platform.
void* const kHostWindow = reinterpret_cast<void*>(0x1000);

/// Presses the left button there, as the user does.
void click(VSTGUI::Platform::Window* window, layout::Point where) {
  VSTGUI::Headless::send(window, VSTGUI::Headless::mouseMessage(VSTGUI::WindowMessage::kButtonDown, where.x, where.y,
                                                                VSTGUI::kKeyStateLButton));
}

cairo_surface_t* copyOf(cairo_surface_t* source) {
  const int width = cairo_image_surface_get_width(source);
  const int height = cairo_image_surface_get_height(source);
  cairo_surface_t* copy = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  cairo_t* cr = cairo_create(copy);
  cairo_set_source_surface(cr, source, 0, 0);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_paint(cr);
  cairo_destroy(cr);
  return copy;
}

}  // namespace

cairo_surface_t* render(const Scene& scene, std::string& error) {
  AudioEffect* instance = createEffectInstance(quietHost);
  if (!instance) {
    error = "the plug-in could not be created";
    return nullptr;
  }
  AEffect* effect = instance->getAeffect();
  auto dispatch = [effect](VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr) {
    return effect->dispatcher(effect, opcode, index, value, ptr, 0.0f);
  };
  dispatch(effSetSampleRate);
  dispatch(effMainsChanged, 0, 1);
  if (scene.program >= 0) dispatch(effSetProgram, 0, scene.program);
  for (const auto& [program, name] : scene.names) {
    if (auto* record = static_cast<Plugin*>(effect->object)->getProgramRecord(program)) record->setName(name.c_str());
  }
  for (const auto& [index, value] : scene.values) effect->setParameter(effect, index, value);

  auto* editor = dynamic_cast<Editor*>(instance->getEditor());
  cairo_surface_t* pixels = nullptr;
  if (!editor || dispatch(effEditOpen, 0, 0, kHostWindow) == 0) {
    error = "the editor could not be opened";
  } else {
    dispatch(effEditIdle);
    VSTGUI::Platform::Window* window = editor->getFrame()->getPlatformWindow();
    const VSTGUI::CRect all(0, 0, layout::kWindowWidth, layout::kWindowHeight);
    if (scene.valueBox >= 0) editor->showValueBoxForTag(scene.valueBox, true);
    if (scene.splash)
      click(window, layout::centre(layout::kSplashArea));
    if (scene.menuPressed) {
      // The picture is taken while the popup is open, then the popup is dismissed.
      VSTGUI::Headless::setPopupAction([&](const std::vector<VSTGUI::Platform::PopupMenuItem>&) {
        dispatch(effEditIdle);
        VSTGUI::Headless::paint(window, all);
        pixels = copyOf(VSTGUI::Headless::surface(window));
        return -1;
      });
      click(window, layout::centre(layout::kProgramMenu));
    } else {
      dispatch(effEditIdle);
      VSTGUI::Headless::paint(window, all);
      pixels = copyOf(VSTGUI::Headless::surface(window));
    }
    dispatch(effEditClose);
  }
  dispatch(effClose);
  return pixels;
}

}  // namespace zynka::snapshot
