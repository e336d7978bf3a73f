// The built-in dialog of the Linux file dialogs: a small window of its own on its own
// connection, drawn with the toolkit's cairo drawing: a message, an optional path field
// (LineEdit), and buttons. Return presses the first button, Escape and the window's
// close box the last. It has no loop of its own: whoever shows it pumps it without
// waiting (the editor from its idle pass), so the host's GUI thread never stops for it.
#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

#define XK_MISCELLANY
#include <X11/keysymdef.h>

#include "toolkit/platform/x11/file_dialogs_linux.h"
#include "toolkit/platform/x11/lineedit.h"
#include "toolkit/platform/x11/x11keys.h"
#include "toolkit/platform/x11/x11types.h"
#include "toolkit/textconvert.h"

namespace VSTGUI::Platform::Linux {

namespace {

constexpr int kMargin = 12;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 24;
constexpr int kFieldHeight = 24;
constexpr std::uint32_t kFace = 0xFFF0F0F0u;
constexpr std::uint32_t kText = 0xFF000000u;
constexpr std::uint32_t kComplaint = 0xFFB00000u;
constexpr std::uint32_t kButtonFace = 0xFFE1E1E1u;
constexpr std::uint32_t kButtonEdge = 0xFFADADADu;
constexpr std::uint32_t kDefaultEdge = 0xFF0078D7u;
constexpr std::uint32_t kFieldEdge = 0xFF7A7A7Au;

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

float widthOf(Graphics* graphics, Font* font, const std::string& text) {
  const std::u16string wide = utf8ToUtf16Lossy(text);
  float width = 0.f;
  measureString(graphics, font, wide.c_str(), static_cast<int>(wide.size()), width);
  return width;
}

}  // namespace

/// The dialog while it is shown.
class BuiltInWindow::Shown {
 public:
  explicit Shown(BuiltInDialog shownDialog) : dialog(std::move(shownDialog)), edit(4096) {}
  ~Shown() {
    if (connection && window && !xcb_connection_has_error(connection)) {
      xcb_destroy_window(connection, window);
      xcb_flush(connection);
    }
    if (surface) cairo_surface_destroy(surface);
    deleteFont(font);
    if (connection) xcb_disconnect(connection);
  }
  Shown(const Shown&) = delete;
  Shown& operator=(const Shown&) = delete;

  /// Maps the window; false without a display.
  bool start() {
    int screenNumber = 0;
    connection = X11::connect(&screenNumber);
    if (!connection) return false;
    auto it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && it.rem; ++i) xcb_screen_next(&it);
    xcb_screen_t* screen = it.data;
    if (!screen || !X11::findPixelFormat(connection, screen, screen->root_visual, format)) return false;
    keyboard.load(connection);
    font = createFont(u"Arial", 12.f, 0);
    layOut();
    createWindow(screen);
    edit.setText(utf8ToUtf16Lossy(dialog.fieldText));
    caretTime = X11::monotonicMilliseconds();
    return true;
  }

  /// Handles what is pending and draws, without waiting; the pressed button, or -1 while open.
  int pump() {
    if (result >= 0) return result;
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
      handle(event);
      std::free(event);
    }
    // A lost display answers as the last button (Cancel, No), never as the first.
    if (xcb_connection_has_error(connection)) result = lastButton();
    if (result >= 0) return result;
    const std::uint32_t now = X11::monotonicMilliseconds();
    if (now - caretTime >= 530) {
      caretOn = !caretOn;
      caretTime = now;
      dirty = true;
    }
    if (dirty) paint();
    xcb_flush(connection);
    return -1;
  }

  std::string fieldText() const { return utf16ToUtf8(edit.text()); }
  int descriptor() const { return connection ? xcb_get_file_descriptor(connection) : -1; }

 private:
  void layOut() {
    cairo_surface_t* probe = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    Device device{probe};
    Graphics* graphics = createGraphics(&device);
    lineHeight = static_cast<int>(std::ceil(getFontLineHeight(font, graphics)));
    lines = linesOf(dialog.message);
    int widest = 0;
    for (const std::string& line : lines) widest = std::max(widest, static_cast<int>(widthOf(graphics, font, line)));
    deleteGraphics(graphics);
    cairo_surface_destroy(probe);
    const int buttonsWidth = static_cast<int>(dialog.buttons.size()) * (kButtonWidth + 8) - 8;
    width = std::max({dialog.withField ? 460 : 300, widest + 2 * kMargin, buttonsWidth + 2 * kMargin});
    int y = kMargin + static_cast<int>(lines.size()) * (lineHeight + 2);
    if (dialog.withField) {
      field = CRect(kMargin, y + 4, width - kMargin, y + 4 + kFieldHeight);
      y = static_cast<int>(field.bottom) + 4;
      complaintTop = y;
      y += lineHeight + 4;
    }
    y += 8;
    int x = width - kMargin - buttonsWidth;
    for (std::size_t i = 0; i < dialog.buttons.size(); ++i) {
      buttons.emplace_back(x, y, x + kButtonWidth, y + kButtonHeight);
      x += kButtonWidth + 8;
    }
    height = y + kButtonHeight + kMargin;
  }

  void createWindow(xcb_screen_t* screen) {
    window = xcb_generate_id(connection);
    std::uint32_t mask = XCB_CW_BACK_PIXEL | XCB_CW_BORDER_PIXEL | XCB_CW_EVENT_MASK;
    std::uint32_t values[4] = {0xF0F0F0u, 0,
                               XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_BUTTON_PRESS |
                                   XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_BUTTON_MOTION |
                                   XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                               0};
    if (format.visual != screen->root_visual) {
      values[3] = xcb_generate_id(connection);
      xcb_create_colormap(connection, XCB_COLORMAP_ALLOC_NONE, values[3], screen->root, format.visual);
      mask |= XCB_CW_COLORMAP;
    }
    const int x = std::max(0, (screen->width_in_pixels - width) / 2);
    const int y = std::max(0, (screen->height_in_pixels - height) / 3);
    xcb_create_window(connection, format.depth, window, screen->root, static_cast<std::int16_t>(x),
                      static_cast<std::int16_t>(y), static_cast<std::uint16_t>(width),
                      static_cast<std::uint16_t>(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, format.visual, mask,
                      values);
    X11::setTitle(connection, window, dialog.title);
    X11::setFixedSize(connection, window, width, height);
    protocols = X11::atom(connection, "WM_PROTOCOLS");
    deleteWindow = X11::atom(connection, "WM_DELETE_WINDOW");
    if (protocols && deleteWindow)
      xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, protocols, XCB_ATOM_ATOM, 32, 1, &deleteWindow);
    const xcb_atom_t type = X11::atom(connection, "_NET_WM_WINDOW_TYPE");
    const xcb_atom_t dialogType = X11::atom(connection, "_NET_WM_WINDOW_TYPE_DIALOG");
    if (type && dialogType)
      xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, type, XCB_ATOM_ATOM, 32, 1, &dialogType);
    if (const xcb_window_t top = topLevelOf(static_cast<xcb_window_t>(dialog.owner)))
      xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 32,
                          1, &top);
    gc = xcb_generate_id(connection);
    const std::uint32_t noExposures = 0;
    xcb_create_gc(connection, gc, window, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
    surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    xcb_map_window(connection, window);
    xcb_flush(connection);
  }

  /// The owner's window just below the root (the host's main window), 0 when unknown.
  xcb_window_t topLevelOf(xcb_window_t w) {
    for (int depth = 0; w && depth < 32; ++depth) {
      auto tree = X11::reply(xcb_query_tree_reply(connection, xcb_query_tree(connection, w), nullptr));
      if (!tree) return 0;
      if (tree->parent == tree->root) return w;
      w = tree->parent;
    }
    return 0;
  }

  int lastButton() const { return static_cast<int>(dialog.buttons.size()) - 1; }

  int buttonAt(int x, int y) const {
    for (std::size_t i = 0; i < buttons.size(); ++i)
      if (x >= buttons[i].left && x < buttons[i].right && y >= buttons[i].top && y < buttons[i].bottom)
        return static_cast<int>(i);
    return -1;
  }

  void press(int index) {
    if (index == 0 && dialog.withField && dialog.check) {
      complaint = dialog.check(utf16ToUtf8(edit.text()), dialog.checkData);
      if (!complaint.empty()) {
        dirty = true;
        return;
      }
    }
    result = index;
  }

  void handle(xcb_generic_event_t* event) {
    switch (event->response_type & 0x7F) {
      case XCB_EXPOSE:
        dirty = true;
        break;
      case XCB_MAP_NOTIFY:
        // Typing goes to the dialog from the start, with or without a window manager.
        xcb_set_input_focus(connection, XCB_INPUT_FOCUS_PARENT, window, XCB_CURRENT_TIME);
        break;
      case XCB_MAPPING_NOTIFY:
        keyboard.load(connection);
        break;
      case XCB_CLIENT_MESSAGE: {
        const auto* e = reinterpret_cast<const xcb_client_message_event_t*>(event);
        if (e->type == protocols && e->data.data32[0] == deleteWindow) result = lastButton();
        break;
      }
      case XCB_KEY_PRESS: {
        const auto* e = reinterpret_cast<const xcb_key_press_event_t*>(event);
        const std::uint32_t keysym = keyboard.keysym(e->detail, e->state);
        if (keysym == XK_Escape) {
          result = lastButton();
        } else if (keysym == XK_Return || keysym == XK_KP_Enter) {
          press(0);
        } else if (dialog.withField) {
          edit.key(keysym, e->state);
          caretOn = true;
          dirty = true;
        }
        break;
      }
      case XCB_BUTTON_PRESS: {
        const auto* e = reinterpret_cast<const xcb_button_press_event_t*>(event);
        if (e->detail != 1) break;
        pressed = buttonAt(e->event_x, e->event_y);
        if (dialog.withField && e->event_x >= field.left && e->event_x < field.right && e->event_y >= field.top &&
            e->event_y < field.bottom) {
          edit.press(e->event_x, (e->state & XCB_MOD_MASK_SHIFT) != 0);
          dragging = true;
          dirty = true;
        }
        break;
      }
      case XCB_MOTION_NOTIFY: {
        const auto* e = reinterpret_cast<const xcb_motion_notify_event_t*>(event);
        if (dragging) {
          edit.drag(e->event_x);
          dirty = true;
        }
        break;
      }
      case XCB_BUTTON_RELEASE: {
        const auto* e = reinterpret_cast<const xcb_button_release_event_t*>(event);
        dragging = false;
        if (e->detail == 1 && pressed >= 0 && buttonAt(e->event_x, e->event_y) == pressed) press(pressed);
        pressed = -1;
        break;
      }
      default:
        break;
    }
  }

  void text(Graphics* graphics, Brush* brush, const std::string& line, float x, float y) {
    const std::u16string wide = utf8ToUtf16Lossy(line);
    drawString(graphics, font, brush, wide.c_str(), static_cast<int>(wide.size()), x, y, true);
  }

  void paint() {
    Device device{surface};
    Graphics* graphics = createGraphics(&device);
    if (!graphics) return;
    Brush* brush = createBrush(kFace);
    Pen* pen = createPen(kButtonEdge, 1.f);
    fillRect(graphics, brush, 0, 0, static_cast<float>(width), static_cast<float>(height));
    setBrushColor(brush, kText);
    float y = kMargin;
    for (const std::string& line : lines) {
      text(graphics, brush, line, kMargin, y);
      y += static_cast<float>(lineHeight + 2);
    }
    if (dialog.withField) {
      X11::LineEdit::Look look;
      look.box = CRect(field.left + 1, field.top + 1, field.right - 1, field.bottom - 1);
      look.caretShown = caretOn;
      edit.draw(graphics, font, look);
      setClip(graphics, CRect(0, 0, width, height));
      setPenColor(pen, kFieldEdge);
      strokeRect(graphics, pen, field.left, field.top, field.width() - 1, field.height() - 1);
      if (!complaint.empty()) {
        setBrushColor(brush, kComplaint);
        text(graphics, brush, complaint, kMargin, static_cast<float>(complaintTop));
      }
    }
    for (std::size_t i = 0; i < buttons.size(); ++i) {
      const CRect& b = buttons[i];
      setBrushColor(brush, kButtonFace);
      fillRect(graphics, brush, b.left, b.top, b.width(), b.height());
      setPenColor(pen, i == 0 ? kDefaultEdge : kButtonEdge);
      strokeRect(graphics, pen, b.left, b.top, b.width() - 1, b.height() - 1);
      setBrushColor(brush, kText);
      const float w = widthOf(graphics, font, dialog.buttons[i]);
      text(graphics, brush, dialog.buttons[i], std::floor(b.left + (b.width() - w) / 2),
           std::floor(b.top + (b.height() - lineHeight) / 2.f));
    }
    deletePen(pen);
    deleteBrush(brush);
    deleteGraphics(graphics);
    X11::putImage(connection, window, gc, format, surface, CRect(0, 0, width, height), scratch);
    dirty = false;
  }

  BuiltInDialog dialog;
  X11::LineEdit edit;
  X11::Keyboard keyboard;
  X11::PixelFormat format;
  xcb_connection_t* connection = nullptr;
  xcb_window_t window = 0;
  xcb_gcontext_t gc = 0;
  xcb_atom_t protocols = 0;
  xcb_atom_t deleteWindow = 0;
  cairo_surface_t* surface = nullptr;
  std::vector<std::uint32_t> scratch;
  Font* font = nullptr;
  std::vector<std::string> lines;
  std::vector<CRect> buttons;
  CRect field;
  int complaintTop = 0;
  std::string complaint;
  int lineHeight = 14;
  int width = 300;
  int height = 100;
  int pressed = -1;
  int result = -1;
  bool dragging = false;
  bool dirty = true;
  bool caretOn = true;
  std::uint32_t caretTime = 0;
};

BuiltInWindow::BuiltInWindow(BuiltInDialog dialog) {
  if (dialog.buttons.empty()) dialog.buttons = {"OK"};
  answerWithoutDisplay = static_cast<int>(dialog.buttons.size()) - 1;
  shown = std::make_unique<Shown>(std::move(dialog));
  if (!shown->start()) shown.reset();
}

BuiltInWindow::~BuiltInWindow() = default;

int BuiltInWindow::pump() { return shown ? shown->pump() : answerWithoutDisplay; }

std::string BuiltInWindow::fieldText() const { return shown ? shown->fieldText() : std::string(); }

int BuiltInWindow::descriptor() const { return shown ? shown->descriptor() : -1; }

}  // namespace VSTGUI::Platform::Linux
