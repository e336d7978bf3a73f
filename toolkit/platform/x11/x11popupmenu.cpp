// The popup menu on X11, drawn by us with the Windows layout: entries top to bottom,
// a column break starting a new column beside the last one (with a line between),
// separators, check marks, grey entries and titles that cannot be chosen, submenus
// opening beside their entry. It is an override-redirect window that holds the pointer
// and the keyboard while it runs its own loop on the frame's connection, as
// TrackPopupMenu does: a release on an entry or Return chooses; a click outside or
// Escape dismisses; the arrow keys move.
#include <poll.h>

#include <algorithm>
#include <cmath>
#include <memory>

#define XK_MISCELLANY
#include <X11/keysymdef.h>

#include "toolkit/cframe.h"
#include "toolkit/platform/x11/x11types.h"
#include "toolkit/textconvert.h"

namespace VSTGUI::Platform {

namespace {

// The look of a Windows menu at 96 dpi.
constexpr int kItemHeight = 20;
constexpr int kSeparatorHeight = 9;
constexpr int kInset = 3;        // border and padding around the entries
constexpr int kCheckWidth = 22;  // the check-mark column left of the titles
constexpr int kArrowWidth = 22;  // the submenu arrow column right of the titles
constexpr int kColumnGap = 1;    // the line between two columns
constexpr std::uint32_t kBackground = 0xFFF0F0F0u;
constexpr std::uint32_t kBorder = 0xFF979797u;
constexpr std::uint32_t kText = 0xFF000000u;
constexpr std::uint32_t kGreyText = 0xFF6D6D6Du;
constexpr std::uint32_t kHighlight = 0xFF0078D7u;
constexpr std::uint32_t kHighlightText = 0xFFFFFFFFu;
constexpr std::uint32_t kLine = 0xFFBDBDBDu;

bool choosable(const PopupMenuItem& item) {
  return !item.separator && !item.grayed && !item.disabled && item.id >= 0 && item.submenu.empty();
}

/// One open menu: the top menu or a submenu.
struct Level {
  const std::vector<PopupMenuItem>* items = nullptr;
  std::vector<CRect> cells;  // each entry's place in the menu window
  std::vector<int> columnLines;
  int width = 0;
  int height = 0;
  int x = 0;  // on the screen
  int y = 0;
  xcb_window_t id = 0;
  cairo_surface_t* surface = nullptr;
  int selected = -1;
  int parentEntry = -1;  // the entry of the level above that opened this one

  ~Level() {
    if (surface) cairo_surface_destroy(surface);
  }
  bool contains(int rootX, int rootY) const {
    return rootX >= x && rootX < x + width && rootY >= y && rootY < y + height;
  }
  int entryAt(int rootX, int rootY) const {
    for (std::size_t i = 0; i < cells.size(); ++i) {
      const CRect& c = cells[i];
      if (!(*items)[i].separator && rootX - x >= c.left && rootX - x < c.right && rootY - y >= c.top &&
          rootY - y < c.bottom)
        return static_cast<int>(i);
    }
    return -1;
  }
};

/// Places the entries in columns: each column break starts a new column.
void layOut(Level& level, Font* font, Graphics* graphics) {
  const auto& items = *level.items;
  level.cells.assign(items.size(), CRect());
  std::vector<std::size_t> columnStarts;
  for (std::size_t i = 0; i < items.size(); ++i)
    if (i == 0 || items[i].columnBreak) columnStarts.push_back(i);
  int x = kInset;
  int height = 0;
  for (std::size_t c = 0; c < columnStarts.size(); ++c) {
    const std::size_t first = columnStarts[c];
    const std::size_t end = c + 1 < columnStarts.size() ? columnStarts[c + 1] : items.size();
    int width = 0;
    for (std::size_t i = first; i < end; ++i) {
      float textWidth = 0.f;
      const std::u16string title = utf8ToUtf16Lossy(items[i].title);
      if (!items[i].separator) measureString(graphics, font, title.c_str(), static_cast<int>(title.size()), textWidth);
      width = std::max(width, kCheckWidth + static_cast<int>(textWidth + 0.999f) + kArrowWidth);
    }
    int y = kInset;
    for (std::size_t i = first; i < end; ++i) {
      const int h = items[i].separator ? kSeparatorHeight : kItemHeight;
      level.cells[i] = CRect(x, y, x + width, y + h);
      y += h;
    }
    height = std::max(height, y);
    x += width;
    if (c + 1 < columnStarts.size()) {
      level.columnLines.push_back(x);
      x += kColumnGap;
    }
  }
  level.width = x + kInset;
  level.height = height + kInset;
}

void drawCheckMark(Graphics* graphics, Pen* pen, const CRect& cell) {
  const int cx = static_cast<int>(cell.left) + kCheckWidth / 2;
  const int cy = static_cast<int>(cell.top + cell.bottom) / 2;
  for (int t = 0; t < 2; ++t) {  // two pixels thick
    drawLine(graphics, pen, cx - 4, cy - 1 + t, cx - 2, cy + 1 + t);
    drawLine(graphics, pen, cx - 2, cy + 1 + t, cx + 3, cy - 4 + t);
  }
}

void drawArrow(Graphics* graphics, Pen* pen, const CRect& cell) {
  const int x = static_cast<int>(cell.right) - kArrowWidth / 2 - 2;
  const int cy = static_cast<int>(cell.top + cell.bottom) / 2;
  for (int i = 0; i < 4; ++i) drawLine(graphics, pen, x + i, cy - 3 + i, x + i, cy + 3 - i);
}

void paintLevel(Window* window, Level& level, Font* font) {
  Device device{level.surface};
  Graphics* graphics = createGraphics(&device);
  if (!graphics) return;
  Brush* brush = createBrush(kBackground);
  Pen* pen = createPen(kBorder, 1.f);
  fillRect(graphics, brush, 0, 0, static_cast<float>(level.width), static_cast<float>(level.height));
  strokeRect(graphics, pen, 0, 0, static_cast<float>(level.width - 1), static_cast<float>(level.height - 1));
  setPenColor(pen, kLine);
  for (int x : level.columnLines) drawLine(graphics, pen, x, kInset, x, level.height - kInset - 1);
  const float lineHeight = getFontLineHeight(font, graphics);
  const auto& items = *level.items;
  for (std::size_t i = 0; i < items.size(); ++i) {
    const PopupMenuItem& item = items[i];
    const CRect& cell = level.cells[i];
    if (item.separator) {
      const int y = static_cast<int>(cell.top) + kSeparatorHeight / 2;
      drawLine(graphics, pen, static_cast<int>(cell.left) + 2, y, static_cast<int>(cell.right) - 3, y);
      continue;
    }
    const bool highlighted = static_cast<int>(i) == level.selected;
    if (highlighted) {
      setBrushColor(brush, kHighlight);
      fillRect(graphics, brush, cell.left, cell.top, cell.width(), cell.height());
    }
    const std::uint32_t colour = item.grayed ? kGreyText : highlighted ? kHighlightText : kText;
    if (item.icon) {
      int w = 0, h = 0;
      getImageSize(item.icon, w, h);
      w = std::min(w, kCheckWidth - 4);
      h = std::min(h, kItemHeight - 2);
      const CCoord left = cell.left + (kCheckWidth - w) / 2, top = cell.top + (kItemHeight - h) / 2;
      drawImage(graphics, item.icon, CRect(left, top, left + w, top + h), CPoint(0, 0), 1.f);
    } else if (item.checked) {
      setPenColor(pen, colour);
      drawCheckMark(graphics, pen, cell);
    }
    const std::u16string title = utf8ToUtf16Lossy(item.title);
    setBrushColor(brush, colour);
    drawString(graphics, font, brush, title.c_str(), static_cast<int>(title.size()),
               static_cast<float>(cell.left + kCheckWidth),
               static_cast<float>(cell.top) + std::floor((kItemHeight - lineHeight) / 2.f), true);
    if (!item.submenu.empty()) {
      setPenColor(pen, colour);
      drawArrow(graphics, pen, cell);
    }
    setPenColor(pen, kLine);
  }
  deletePen(pen);
  deleteBrush(brush);
  deleteGraphics(graphics);
  X11::putImage(window->connection, level.id, window->gc, window->format, level.surface,
                CRect(0, 0, level.width, level.height), window->scratch);
}

/// The menu's run: its open levels, the choice, and the pointer's history.
class MenuRun {
 public:
  MenuRun(Window* window, const Watch& watch, bool rightButton)
      : window(window), watch(watch), rightButton(rightButton) {
    font = createFont(u"Arial", 12.f, 0);
  }
  ~MenuRun() {
    // A frame that went away during the menu took its connection and windows along.
    if (watch.alive)
      for (auto& level : levels) xcb_destroy_window(window->connection, level->id);
    deleteFont(font);
  }

  bool open(const std::vector<PopupMenuItem>& items, int x, int y, int parentEntry) {
    auto level = std::make_unique<Level>();
    level->items = &items;
    level->parentEntry = parentEntry;
    level->surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    {
      Device device{level->surface};
      Graphics* graphics = createGraphics(&device);
      layOut(*level, font, graphics);
      deleteGraphics(graphics);
    }
    cairo_surface_destroy(level->surface);
    level->surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, level->width, level->height);
    // On the screen, flipped or pushed back when it would run off it.
    if (x + level->width > window->screenWidth) x = std::max(0, window->screenWidth - level->width);
    if (y + level->height > window->screenHeight) y = std::max(0, window->screenHeight - level->height);
    level->x = x;
    level->y = y;
    xcb_connection_t* c = window->connection;
    level->id = xcb_generate_id(c);
    std::uint32_t mask = XCB_CW_BACK_PIXMAP | XCB_CW_BORDER_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_SAVE_UNDER |
                         XCB_CW_EVENT_MASK;
    std::uint32_t values[6] = {XCB_BACK_PIXMAP_NONE, 0, 1, 1,
                               XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS |
                                   XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION |
                                   XCB_EVENT_MASK_KEY_PRESS,
                               window->colormap};
    if (window->colormap) mask |= XCB_CW_COLORMAP;
    xcb_create_window(c, window->format.depth, level->id, window->root, static_cast<std::int16_t>(x),
                      static_cast<std::int16_t>(y), static_cast<std::uint16_t>(level->width),
                      static_cast<std::uint16_t>(level->height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      window->format.visual, mask, values);
    X11::setTitle(c, level->id, "popup menu");
    xcb_map_window(c, level->id);
    paintLevel(window, *level, font);
    levels.push_back(std::move(level));
    return true;
  }

  /// Takes the pointer and the keyboard for the top level; another client's grab may refuse them.
  void grab() {
    xcb_connection_t* c = window->connection;
    const xcb_window_t top = levels.front()->id;
    for (int tries = 0; tries < 20; ++tries) {
      auto pointer = X11::reply(xcb_grab_pointer_reply(
          c,
          xcb_grab_pointer(c, 1, top,
                           XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION,
                           XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, XCB_NONE, XCB_NONE, XCB_CURRENT_TIME),
          nullptr));
      if (pointer && pointer->status == XCB_GRAB_STATUS_SUCCESS) break;
      poll(nullptr, 0, 10);
    }
    auto keyboard = X11::reply(xcb_grab_keyboard_reply(
        c, xcb_grab_keyboard(c, 1, top, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC), nullptr));
    (void)keyboard;
  }

  void ungrab() {
    xcb_ungrab_pointer(window->connection, XCB_CURRENT_TIME);
    xcb_ungrab_keyboard(window->connection, XCB_CURRENT_TIME);
  }

  /// Handles one event; the frame's own events (paint, its window's end) go on as in idle.
  void handle(xcb_generic_event_t* event) {
    switch (event->response_type & 0x7F) {
      case XCB_EXPOSE: {
        const auto* e = reinterpret_cast<const xcb_expose_event_t*>(event);
        for (auto& level : levels)
          if (level->id == e->window) paintLevel(window, *level, font);
        if (e->window == window->id) {
          invalidateRect(window, CRect(e->x, e->y, e->x + e->width, e->y + e->height));
          paintNow(window);
        }
        break;
      }
      case XCB_DESTROY_NOTIFY:
        if (reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window == window->id) {
          done = true;
          loseWindow(window, false);
        }
        break;
      case XCB_MAPPING_NOTIFY:
        window->keyboard.load(window->connection);
        break;
      case XCB_MOTION_NOTIFY: {
        const auto* e = reinterpret_cast<const xcb_motion_notify_event_t*>(event);
        moved = true;
        hover(e->root_x, e->root_y);
        break;
      }
      case XCB_BUTTON_PRESS: {
        const auto* e = reinterpret_cast<const xcb_button_press_event_t*>(event);
        if (e->detail > 3) break;  // the wheel
        if (levelAt(e->root_x, e->root_y) < 0) {
          done = true;  // a click outside dismisses the menu
          break;
        }
        pressedInside = true;
        hover(e->root_x, e->root_y);
        break;
      }
      case XCB_BUTTON_RELEASE: {
        const auto* e = reinterpret_cast<const xcb_button_release_event_t*>(event);
        if (e->detail != 1 && !(e->detail == 3 && rightButton)) break;
        // The release of the press that opened the menu chooses only after the pointer moved.
        if (!moved && !pressedInside) break;
        const int l = levelAt(e->root_x, e->root_y);
        if (l < 0) break;
        const int entry = levels[l]->entryAt(e->root_x, e->root_y);
        if (entry >= 0) activate(l, entry);
        break;
      }
      case XCB_KEY_PRESS: {
        const auto* e = reinterpret_cast<const xcb_key_press_event_t*>(event);
        key(window->keyboard.keysym(e->detail, e->state));
        break;
      }
      default:
        break;
    }
  }

  bool done = false;
  int chosen = -1;
  std::vector<std::unique_ptr<Level>> levels;

 private:
  int levelAt(int rootX, int rootY) const {
    for (int l = static_cast<int>(levels.size()) - 1; l >= 0; --l)
      if (levels[l]->contains(rootX, rootY)) return l;
    return -1;
  }

  void closeBelow(int l) {
    while (static_cast<int>(levels.size()) > l + 1) {
      xcb_destroy_window(window->connection, levels.back()->id);
      levels.pop_back();
    }
  }

  void select(int l, int entry) {
    Level& level = *levels[l];
    if (level.selected == entry) return;
    level.selected = entry;
    paintLevel(window, level, font);
  }

  void openSubmenu(int l, int entry) {
    const Level& level = *levels[l];
    const CRect& cell = level.cells[entry];
    int x = level.x + static_cast<int>(cell.right) + kInset;
    const int y = level.y + static_cast<int>(cell.top) - kInset;
    open((*level.items)[entry].submenu, x, y, entry);
    // Not enough room on the right: the submenu opens on the left of its entry.
    Level& sub = *levels.back();
    if (x + sub.width > window->screenWidth) {
      x = std::max(0, level.x + static_cast<int>(cell.left) - sub.width);
      sub.x = x;
      const std::uint32_t place[1] = {static_cast<std::uint32_t>(x)};
      xcb_configure_window(window->connection, sub.id, XCB_CONFIG_WINDOW_X, place);
    }
  }

  void hover(int rootX, int rootY) {
    const int l = levelAt(rootX, rootY);
    if (l < 0) return;
    const int entry = levels[l]->entryAt(rootX, rootY);
    if (entry < 0) return;
    const bool submenuOpen = static_cast<int>(levels.size()) > l + 1 && levels[l + 1]->parentEntry == entry;
    if (!submenuOpen) closeBelow(l);
    select(l, entry);
    if (!submenuOpen && !(*levels[l]->items)[entry].submenu.empty()) openSubmenu(l, entry);
  }

  void activate(int l, int entry) {
    const PopupMenuItem& item = (*levels[l]->items)[entry];
    if (!item.submenu.empty()) {
      if (!(static_cast<int>(levels.size()) > l + 1 && levels[l + 1]->parentEntry == entry)) {
        closeBelow(l);
        openSubmenu(l, entry);
      }
      return;
    }
    if (!choosable(item)) return;
    chosen = item.id;
    done = true;
  }

  /// The next entry that is not a separator, going by step (wrapping).
  int step(const Level& level, int from, int by) const {
    const int n = static_cast<int>(level.items->size());
    int i = from;
    for (int tries = 0; tries < n; ++tries) {
      i = i < 0 ? (by > 0 ? 0 : n - 1) : (i + by + n) % n;
      if (!(*level.items)[i].separator) return i;
    }
    return -1;
  }

  /// The entry of the neighbouring column nearest to the selected one's height.
  int sideways(const Level& level, int by) const {
    if (level.selected < 0) return -1;
    const CRect& from = level.cells[level.selected];
    int best = -1;
    CCoord bestDistance = 0;
    const CCoord targetColumn = by > 0 ? from.right + kColumnGap : from.left - kColumnGap;
    for (std::size_t i = 0; i < level.cells.size(); ++i) {
      const CRect& c = level.cells[i];
      if ((*level.items)[i].separator) continue;
      const bool inColumn = by > 0 ? c.left == targetColumn : c.right == targetColumn;
      if (!inColumn) continue;
      const CCoord d = c.top > from.top ? c.top - from.top : from.top - c.top;
      if (best < 0 || d < bestDistance) {
        best = static_cast<int>(i);
        bestDistance = d;
      }
    }
    return best;
  }

  void key(std::uint32_t keysym) {
    const int l = static_cast<int>(levels.size()) - 1;
    Level& level = *levels[l];
    switch (keysym) {
      case XK_Down:
      case XK_KP_Down:
        select(l, step(level, level.selected, 1));
        break;
      case XK_Up:
      case XK_KP_Up:
        select(l, step(level, level.selected, -1));
        break;
      case XK_Right:
      case XK_KP_Right:
        if (level.selected >= 0 && !(*level.items)[level.selected].submenu.empty()) {
          openSubmenu(l, level.selected);
          select(l + 1, step(*levels[l + 1], -1, 1));
        } else if (const int next = sideways(level, 1); next >= 0) {
          select(l, next);
        }
        break;
      case XK_Left:
      case XK_KP_Left:
        if (const int previous = sideways(level, -1); previous >= 0) select(l, previous);
        else if (l > 0) closeBelow(l - 1);
        break;
      case XK_Return:
      case XK_KP_Enter:
        if (level.selected >= 0) {
          activate(l, level.selected);
          if (!done && static_cast<int>(levels.size()) > l + 1) select(l + 1, step(*levels[l + 1], -1, 1));
        }
        break;
      case XK_Escape:
        // Escape closes the innermost submenu, and the menu itself at its top.
        if (l > 0) closeBelow(l - 1);
        else done = true;
        break;
      default:
        break;
    }
  }

  Window* window;
  const Watch& watch;
  bool rightButton;
  Font* font = nullptr;
  bool moved = false;
  bool pressedInside = false;
};

}  // namespace

int runPopupMenu(Window* window, const std::vector<PopupMenuItem>& items, const CPoint& where, bool rightButton) {
  if (!usable(window) || items.empty() || window->popupOpen) return -1;
  const CPoint origin = getScreenOrigin(window);
  Watch watch(window);
  window->popupOpen = true;
  window->popupCancelled = false;
  int chosen = -1;
  {
    MenuRun run(window, watch, rightButton);
    run.open(items, static_cast<int>(origin.h + where.h), static_cast<int>(origin.v + where.v), -1);
    xcb_flush(window->connection);
    run.grab();
    const int fd = xcb_get_file_descriptor(window->connection);
    while (!run.done && !window->popupCancelled) {
      xcb_flush(window->connection);
      while (xcb_generic_event_t* event = xcb_poll_for_event(window->connection)) {
        if (!run.done) run.handle(event);
        std::free(event);
        if (!watch.alive) return -1;  // the frame went away with its window
      }
      if (xcb_connection_has_error(window->connection)) {
        loseWindow(window, true);
        return -1;
      }
      if (run.done || window->popupCancelled || !usable(window)) break;
      pollfd wait{fd, POLLIN, 0};
      poll(&wait, 1, 100);
    }
    chosen = run.done ? run.chosen : -1;
    if (usable(window)) run.ungrab();
  }
  if (!watch.alive) return chosen;
  window->popupOpen = false;
  if (!xcb_connection_has_error(window->connection)) xcb_flush(window->connection);
  return chosen;
}

void cancelPopupMenu(Window* window) {
  if (window && window->popupOpen) window->popupCancelled = true;
}

}  // namespace VSTGUI::Platform
