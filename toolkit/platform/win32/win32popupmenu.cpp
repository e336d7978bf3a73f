// The popup menu: a native menu built from the menu's entries, shown modally below
// the menu button; the choice comes back as the WM_COMMAND the menu posts.
#include <vector>

#include "toolkit/platform/win32/win32types.h"
#include "toolkit/textconvert.h"

namespace VSTGUI::Platform {

namespace {

/// Builds the native menu (and its submenus); the item bitmaps made go into bitmaps.
HMENU buildMenu(const std::vector<PopupMenuItem>& items, std::vector<HBITMAP>& bitmaps) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return nullptr;
  UINT position = 0;
  for (const PopupMenuItem& item : items) {
    if (item.separator) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      ++position;
      continue;
    }
    const std::u16string title = utf8ToUtf16Lossy(item.title);
    const auto text = reinterpret_cast<LPCWSTR>(title.c_str());
    UINT flags = MF_STRING;
    if (item.columnBreak) flags |= MF_MENUBARBREAK;
    if (!item.submenu.empty()) {
      HMENU submenu = buildMenu(item.submenu, bitmaps);
      AppendMenuW(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), text);
      ++position;
      continue;
    }
    if (item.grayed) flags |= MF_GRAYED;
    if (item.disabled) flags |= MF_DISABLED;
    if (item.checked) flags |= MF_CHECKED;
    // An entry that cannot be chosen posts nothing, so its identifier is never read.
    AppendMenuW(menu, flags, item.id >= 0 ? static_cast<UINT_PTR>(item.id) : 0, text);
    if (item.icon && item.icon->bitmap) {
      HBITMAP bitmap = nullptr;
      if (Gdip::GdipCreateHBITMAPFromBitmap(item.icon->bitmap, &bitmap, 0) == Gdiplus::Ok && bitmap) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_BITMAP;
        info.hbmpItem = bitmap;
        SetMenuItemInfoW(menu, position, TRUE, &info);
        bitmaps.push_back(bitmap);
      }
    }
    ++position;
  }
  return menu;
}

}  // namespace

int runPopupMenu(Window* window, const std::vector<PopupMenuItem>& items, const CPoint& where,
                 bool rightButton) {
  if (!window || !window->hwnd) return -1;
  // The menu's loop may see the editor closed: nothing of `window` is touched after it.
  HWND owner = window->hwnd;
  std::vector<HBITMAP> bitmaps;
  HMENU menu = buildMenu(items, bitmaps);
  if (!menu) return -1;
  RECT frameRect = {};
  GetWindowRect(owner, &frameRect);
  const UINT flags = TPM_LEFTALIGN | (rightButton ? TPM_RIGHTBUTTON : TPM_LEFTBUTTON);
  int chosen = -1;
  if (TrackPopupMenu(menu, flags, frameRect.left + where.h, frameRect.top + where.v, 0, owner, nullptr)) {
    MSG message = {};
    if (PeekMessageW(&message, owner, WM_COMMAND, WM_COMMAND, PM_REMOVE) && HIWORD(message.wParam) == 0)
      chosen = LOWORD(message.wParam);
  }
  DestroyMenu(menu);  // its submenus go with it
  for (HBITMAP bitmap : bitmaps) DeleteObject(bitmap);
  return chosen;
}

void cancelPopupMenu(Window*) { EndMenu(); }

}  // namespace VSTGUI::Platform
