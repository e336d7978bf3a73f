// The text field of a text edit on X11: a child window of the frame window over the
// view, drawn by us (LineEdit), holding the keyboard focus while the user edits and
// giving it back afterwards. Return and the loss of the focus reach the client as the
// Windows edit box reports them; Escape and Tab end nothing. Its colours come from the
// frame's focus view (textFieldColours), as the EDIT box's do.
#include <algorithm>

#include "toolkit/cframe.h"
#include "toolkit/platform/x11/lineedit.h"
#include "toolkit/platform/x11/x11types.h"
#include "toolkit/textconvert.h"

namespace VSTGUI::Platform {

struct TextField {
  Window* window = nullptr;
  TextFieldClient* client = nullptr;
  TextFieldStyle style;
  xcb_window_t id = 0;
  int width = 0;
  int height = 0;
  cairo_surface_t* surface = nullptr;
  Font* font = nullptr;
  X11::LineEdit edit{kLimit};
  CColor textColour;
  CColor backColour;
  xcb_window_t previousFocus = XCB_NONE;
  bool focused = false;
  bool dragging = false;
  bool dirty = true;
  bool caretOn = true;
  std::uint32_t caretTime = 0;

  /// The box holds at most this many UTF-16 units, as the native one is limited.
  static constexpr std::size_t kLimit = 255;
};

namespace {

/// Windows' caret blink period.
constexpr std::uint32_t kCaretBlink = 530;

void paintField(TextField* field) {
  Window* window = field->window;
  // The colours come from the frame's focus view, asked at every paint, as a native edit box
  // asks the window that holds it; without an answer the field keeps those it was opened with.
  field->textColour = field->style.fontColor;
  field->backColour = field->style.backColor;
  textFieldColours(window->frame, field->textColour, field->backColour);

  Device device{field->surface};
  Graphics* graphics = createGraphics(&device);
  X11::LineEdit::Look look;
  look.box = CRect(0, 0, field->width, field->height);
  look.align = field->style.align;
  CColor text = field->textColour, back = field->backColour;
  text.alpha = back.alpha = 255;  // an edit box is opaque whatever the view's colours
  look.textArgb = toArgb(text);
  look.backArgb = toArgb(back);
  look.caretShown = field->focused && field->caretOn;
  field->edit.draw(graphics, field->font, look);
  deleteGraphics(graphics);
  X11::putImage(window->connection, field->id, window->gc, window->format, field->surface, look.box, window->scratch);
  field->dirty = false;
}

void touched(TextField* field) {
  field->dirty = true;
  field->caretOn = true;
  field->caretTime = getTicks();
}

}  // namespace

bool handleTextFieldEvent(Window* window, xcb_generic_event_t* event, xcb_window_t target) {
  TextField* field = window->textField;
  if (!field || target != field->id) return false;
  switch (event->response_type & 0x7F) {
    case XCB_EXPOSE:
      field->dirty = true;
      return true;
    case XCB_FOCUS_IN: {
      const auto* e = reinterpret_cast<const xcb_focus_in_event_t*>(event);
      if (e->mode == XCB_NOTIFY_MODE_GRAB || e->detail == XCB_NOTIFY_DETAIL_POINTER) return true;
      field->focused = true;
      touched(field);
      return true;
    }
    case XCB_FOCUS_OUT: {
      const auto* e = reinterpret_cast<const xcb_focus_out_event_t*>(event);
      // A grab taking the keyboard for a moment (a host's menu key) is no loss of focus.
      if (e->mode == XCB_NOTIFY_MODE_GRAB || e->mode == XCB_NOTIFY_MODE_UNGRAB ||
          e->detail == XCB_NOTIFY_DETAIL_POINTER || e->detail == XCB_NOTIFY_DETAIL_INFERIOR || !field->focused)
        return true;
      field->focused = false;
      field->client->textFieldFocusLost();  // may close the field: nothing of it is touched afterwards
      return true;
    }
    case XCB_KEY_PRESS: {
      const auto* e = reinterpret_cast<const xcb_key_press_event_t*>(event);
      window->time = e->time;
      const std::uint32_t keysym = window->keyboard.keysym(e->detail, e->state);
      if (field->edit.key(keysym, e->state) == X11::LineEdit::Outcome::kReturn) {
        field->client->textFieldReturnPressed();  // may close the field
        return true;
      }
      touched(field);
      return true;
    }
    case XCB_BUTTON_PRESS: {
      const auto* e = reinterpret_cast<const xcb_button_press_event_t*>(event);
      window->time = e->time;
      if (e->detail != 1) return true;
      field->edit.press(e->event_x, (e->state & XCB_MOD_MASK_SHIFT) != 0);
      field->dragging = true;
      if (!field->focused)
        xcb_set_input_focus(window->connection, XCB_INPUT_FOCUS_PARENT, field->id, e->time);
      touched(field);
      return true;
    }
    case XCB_MOTION_NOTIFY: {
      const auto* e = reinterpret_cast<const xcb_motion_notify_event_t*>(event);
      if (!field->dragging) return true;
      field->edit.drag(e->event_x);
      touched(field);
      return true;
    }
    case XCB_BUTTON_RELEASE:
      field->dragging = false;
      return true;
    default:
      return true;
  }
}

void idleTextField(Window* window) {
  TextField* field = window->textField;
  if (!field) return;
  const std::uint32_t now = getTicks();
  if (field->focused && now - field->caretTime >= kCaretBlink) {
    field->caretOn = !field->caretOn;
    field->caretTime = now;
    field->dirty = true;
  }
  if (field->dirty) paintField(field);
}

void detachTextField(Window* window) {
  if (!window->textField) return;
  window->textField->window = nullptr;
  window->textField = nullptr;
}

TextField* openTextField(Window* window, const TextFieldStyle& style, TextFieldClient* client) {
  if (!usable(window) || window->textField || !client) return nullptr;
  auto* field = new TextField;
  field->window = window;
  field->client = client;
  field->style = style;
  CRect rect = style.rect;
  field->width = std::max(1, static_cast<int>(rect.width()));
  field->height = std::max(1, static_cast<int>(rect.height()));
  field->surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, field->width, field->height);
  const std::u16string family = utf8ToUtf16Lossy(style.fontName);
  field->font = createFont(family.c_str(), static_cast<float>(std::max(1, style.fontHeight)), 0);
  field->edit.setText(utf8ToUtf16Lossy(style.text));
  field->edit.selectAll();

  xcb_connection_t* connection = window->connection;
  field->id = xcb_generate_id(connection);
  const std::uint32_t values[2] = {
      XCB_BACK_PIXMAP_NONE,
      XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_BUTTON_PRESS |
          XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_BUTTON_MOTION | XCB_EVENT_MASK_FOCUS_CHANGE};
  xcb_create_window(connection, XCB_COPY_FROM_PARENT, field->id, window->id, static_cast<std::int16_t>(rect.left),
                    static_cast<std::int16_t>(rect.top), static_cast<std::uint16_t>(field->width),
                    static_cast<std::uint16_t>(field->height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                    XCB_COPY_FROM_PARENT, XCB_CW_BACK_PIXMAP | XCB_CW_EVENT_MASK, values);
  xcb_map_window(connection, field->id);
  // The keyboard comes to the field while the user edits; whoever had it gets it back.
  auto focus = X11::reply(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
  field->previousFocus = focus ? focus->focus : XCB_NONE;
  xcb_set_input_focus(connection, XCB_INPUT_FOCUS_PARENT, field->id, window->time ? window->time : XCB_CURRENT_TIME);
  window->textField = field;
  paintField(field);
  xcb_flush(connection);
  return field;
}

std::string getTextFieldText(TextField* field) {
  if (!field) return {};
  return utf16ToUtf8(std::u16string_view(field->edit.text()).substr(0, TextField::kLimit));
}

void closeTextField(TextField* field) {
  if (!field) return;
  Window* window = field->window;
  if (window && window->textField == field) {
    window->textField = nullptr;
    if (usable(window)) {
      xcb_connection_t* connection = window->connection;
      auto focus = X11::reply(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
      if (focus && focus->focus == field->id)
        xcb_set_input_focus(connection, XCB_INPUT_FOCUS_PARENT, field->previousFocus, XCB_CURRENT_TIME);
      xcb_destroy_window(connection, field->id);
      xcb_flush(connection);
    }
  }
  deleteFont(field->font);
  cairo_surface_destroy(field->surface);
  delete field;
}

}  // namespace VSTGUI::Platform
