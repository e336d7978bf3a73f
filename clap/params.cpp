// The params extension: the 17 parameters of the one table, ids fixed as their indices,
// values 0 to 1, texts by the same display rules the VST2 host shows.
#include <cstdio>
#include <cstring>

#include "clap/adaptor.h"
#include "engine/parameters.h"
#include "engine/plugin.h"

namespace zynka::clap_adaptor {

namespace {

bool validId(clap_id id) { return id < static_cast<clap_id>(kNumParams); }

bool getInfo(const clap_plugin_t*, std::uint32_t index, clap_param_info_t* info) {
  if (!info || !validId(index)) return false;
  const Parameter& parameter = kParameters[index];
  *info = clap_param_info_t{};
  info->id = index;
  info->flags = CLAP_PARAM_IS_AUTOMATABLE;
  info->cookie = nullptr;
  std::snprintf(info->name, sizeof info->name, "%s", parameter.name);
  info->module[0] = 0;
  info->min_value = 0.0;
  info->max_value = 1.0;
  info->default_value = parameter.editorDefault;
  return true;
}

bool valueToText(const clap_plugin_t*, clap_id id, double value, char* out, std::uint32_t capacity) {
  if (!validId(id) || !out || capacity == 0) return false;
  // The VST2 display, then its label after a space where the parameter has one.
  char display[kParameterDisplayLength + 1] = {};
  formatParameterDisplay(static_cast<int>(id), toFloat(value), display);
  const char* label = kParameters[id].label;
  const int written = std::snprintf(out, capacity, *label ? "%s %s" : "%s", display, label);
  return written >= 0 && static_cast<std::uint32_t>(written) < capacity;
}

bool textToValue(const clap_plugin_t*, clap_id id, const char* text, double* out) {
  if (!validId(id) || !text || !out) return false;
  float value = 0;
  if (!readParameterDisplay(static_cast<int>(id), text, value)) return false;
  *out = value;
  return true;
}

}  // namespace

bool Adaptor::parameterValue(clap_id id, double& value) {
  if (!synth || !validId(id)) return false;
  value = synth->getParameter(static_cast<VstInt32>(id));
  return true;
}

void Adaptor::flush(const clap_input_events_t* in, const clap_output_events_t* out) {
  if (!synth) return;
  applyPendingLoad();
  const std::uint32_t count = in && in->size && in->get ? in->size(in) : 0;
  bool valuesApplied = false;
  for (std::uint32_t i = 0; i < count; ++i) {
    const clap_event_header_t* event = in->get(in, i);
    if (!event || event->space_id != CLAP_CORE_EVENT_SPACE_ID || event->type != CLAP_EVENT_PARAM_VALUE) continue;
    applyParameterEvent(event);
    valuesApplied = true;
  }
  // An editor without a timer shows them at a main-thread call.
  if (valuesApplied && idleOnCallbacks.load() && host->request_callback) host->request_callback(host);
  takeGestures(out && out->try_push ? out : nullptr);
}

const clap_plugin_params_t kParamsExtension = {
    [](const clap_plugin_t*) -> std::uint32_t { return kNumParams; },
    getInfo,
    [](const clap_plugin_t* plugin, clap_id id, double* value) {
      return value && Adaptor::of(plugin)->parameterValue(id, *value);
    },
    valueToText,
    textToValue,
    [](const clap_plugin_t* plugin, const clap_input_events_t* in, const clap_output_events_t* out) {
      Adaptor::of(plugin)->flush(in, out);
    },
};

}  // namespace zynka::clap_adaptor
