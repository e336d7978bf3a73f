#include "toolkit/coptionmenu.h"

#include <cstdio>
#include <cstring>

#include "toolkit/cbitmap.h"
#include "toolkit/cframe.h"
#include "toolkit/textconvert.h"

namespace VSTGUI {

// --- CMenuItem ------------------------------------------------------------------------

CMenuItem::CMenuItem(const char* inTitle, std::int32_t inFlags) : title(copyString(inTitle)), flags(inFlags) {}

CMenuItem::CMenuItem(const char* inTitle, COptionMenu* inSubmenu) : title(copyString(inTitle)) {
  setSubmenu(inSubmenu);
}

CMenuItem::~CMenuItem() {
  if (icon) icon->forget();
  if (submenu) submenu->forget();
  delete[] title;
  delete[] keycode;
}

void CMenuItem::setTitle(const char* inTitle) {
  delete[] title;
  title = copyString(inTitle);
}

void CMenuItem::setSubmenu(COptionMenu* inSubmenu) {
  if (inSubmenu) inSubmenu->remember();
  if (submenu) submenu->forget();
  submenu = inSubmenu;
}

void CMenuItem::setKey(const char* keyCode, std::int32_t modifiers) {
  delete[] keycode;
  keycode = copyString(keyCode);
  keyModifiers = modifiers;
}

void CMenuItem::setFlag(std::int32_t flag, bool state) {
  if (state)
    flags |= flag;
  else
    flags &= ~flag;
}

void CMenuItem::setEnabled(bool state) { setFlag(kDisabled, !state); }
void CMenuItem::setChecked(bool state) { setFlag(kChecked, state); }
void CMenuItem::setIsTitle(bool state) { setFlag(kTitle, state); }
void CMenuItem::setIsSeparator(bool state) { setFlag(kSeparator, state); }

void CMenuItem::setIcon(CBitmap* inIcon) {
  if (inIcon) inIcon->remember();
  if (icon) icon->forget();
  icon = inIcon;
}

// --- COptionMenu ------------------------------------------------------------------------

COptionMenu::COptionMenu(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background,
                         CBitmap* bgWhenClickBitmap, std::int32_t style)
    : CParamDisplay(size, listener, tag, background, style), bgWhenClick(bgWhenClickBitmap) {
  if (bgWhenClick) bgWhenClick->remember();
}

COptionMenu::~COptionMenu() {
  removeAllEntry();
  if (bgWhenClick) bgWhenClick->forget();
}

bool COptionMenu::isTypeOf(const char* type) const {
  return (type && std::strcmp(type, "COptionMenu") == 0) || CParamDisplay::isTypeOf(type);
}

CView* COptionMenu::newCopy() const {
  auto* copy = new COptionMenu(size, listener, tag, pBackground, bgWhenClick, style);
  for (CMenuItem* item : menuItems) {
    CMenuItem* twin = item->getSubmenu() ? new CMenuItem(item->getTitle(), item->getSubmenu())
                                         : new CMenuItem(item->getTitle(), item->getFlags());
    twin->setKey(item->getKey(), item->getKeyModifiers());
    twin->setIcon(item->getIcon());
    copy->addEntry(twin);
  }
  copy->currentIndex = currentIndex;
  copy->nbItemsPerColumn = nbItemsPerColumn;
  copy->prefixNumbers = prefixNumbers;
  copy->value = value;
  return copy;
}

CMenuItem* COptionMenu::addEntry(CMenuItem* item, std::int32_t index) {
  if (!item) return nullptr;
  if (index < 0 || index >= static_cast<std::int32_t>(menuItems.size()))
    menuItems.push_back(item);
  else
    menuItems.insert(menuItems.begin() + index, item);
  return item;
}

CMenuItem* COptionMenu::addEntry(const char* title, std::int32_t index, std::int32_t itemFlags) {
  if (title && std::strcmp(title, "-") == 0) return addSeparator();
  return addEntry(new CMenuItem(title, itemFlags), index);
}

CMenuItem* COptionMenu::addEntry(COptionMenu* submenu, const char* title) {
  return addEntry(new CMenuItem(title, submenu), -1);
}

CMenuItem* COptionMenu::addSeparator() { return addEntry(new CMenuItem("", CMenuItem::kSeparator), -1); }

CMenuItem* COptionMenu::getCurrent() const { return getEntry(currentIndex); }

std::int32_t COptionMenu::getCurrentIndex(bool countSeparator) const {
  if (countSeparator) return currentIndex;
  std::int32_t separators = 0;
  for (std::int32_t i = 0; i <= currentIndex && i < getNbEntries(); ++i)
    if (menuItems[i]->isSeparator()) ++separators;
  return currentIndex - separators;
}

CMenuItem* COptionMenu::getEntry(std::int32_t index) const {
  if (menuItems.empty() || index >= getNbEntries()) return nullptr;
  return menuItems[index < 0 ? 0 : index];
}

std::int32_t COptionMenu::getNbEntries() const { return static_cast<std::int32_t>(menuItems.size()); }

bool COptionMenu::setCurrent(std::int32_t index, bool countSeparator) {
  if (!countSeparator) {
    // Turn an index that skips separators into one that counts them.
    std::int32_t counted = -1;
    for (std::int32_t i = 0, plain = 0; i < getNbEntries(); ++i) {
      if (menuItems[i]->isSeparator()) continue;
      if (plain++ == index) {
        counted = i;
        break;
      }
    }
    index = counted;
  }
  if (index < 0 || index >= getNbEntries() || menuItems[index]->isSeparator()) return false;
  currentIndex = index;
  if (style & 0x1) menuItems[index]->setChecked(!menuItems[index]->isChecked());
  setDirty();
  return true;
}

bool COptionMenu::removeEntry(std::int32_t index) {
  if (index < 0 || index >= getNbEntries()) return false;
  menuItems[index]->forget();
  menuItems.erase(menuItems.begin() + index);
  return true;
}

bool COptionMenu::removeAllEntry() {
  for (CMenuItem* item : menuItems) item->forget();
  menuItems.clear();
  return true;
}

bool COptionMenu::checkEntry(std::int32_t index, bool state) {
  if (index < 0 || index >= getNbEntries()) return false;
  menuItems[index]->setChecked(state);
  return true;
}

bool COptionMenu::checkEntryAlone(std::int32_t index) {
  if (index < 0 || index >= getNbEntries()) return false;
  for (std::int32_t i = 0; i < getNbEntries(); ++i) menuItems[i]->setChecked(i == index);
  return true;
}

bool COptionMenu::isCheckEntry(std::int32_t index) const {
  if (index < 0 || index >= getNbEntries()) return false;
  return menuItems[index]->isChecked();
}

void COptionMenu::setNbItemsPerColumn(std::int32_t val) { nbItemsPerColumn = val; }
std::int32_t COptionMenu::getNbItemsPerColumn() const { return nbItemsPerColumn; }

void COptionMenu::setPrefixNumbers(std::int32_t val) {
  if (val <= 4) prefixNumbers = val;
}

void COptionMenu::setValue(float val) {
  if (!(val == val) || val <= -1.0f || val >= static_cast<float>(getNbEntries())) return;
  const std::int32_t index = static_cast<std::int32_t>(val);
  if (index < 0) return;
  currentIndex = index;
  if (style & 0x1) menuItems[index]->setChecked(!menuItems[index]->isChecked());
  value = val;
  setDirty();
}

void COptionMenu::draw(CDrawContext* pContext) {
  CMenuItem* item = getEntry(currentIndex);
  const bool open = pParentFrame && pParentFrame->getFocusView() == this;
  drawText(pContext, item ? item->getTitle() : nullptr, open ? bgWhenClick : nullptr);
}

CMouseEventResult COptionMenu::onMouseDown(const CPoint&, const CButton& buttons) {
  lastButton = buttons;
  if (!(buttons & (kLButton | kRButton | kApple))) return kMouseEventNotHandled;
  beginEdit();
  gestureOpen = true;
  if (bgWhenClick) invalid();
  takeFocus();
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

std::vector<Platform::PopupMenuItem> COptionMenu::buildPopup(int& nextId) const {
  const int offset = nextId;
  nextId += getNbEntries();
  const bool columns = getNbEntries() < 160 && nbItemsPerColumn > 0;
  std::vector<Platform::PopupMenuItem> items(menuItems.size());
  for (std::size_t n = 0; n < menuItems.size(); ++n) {
    const CMenuItem* item = menuItems[n];
    Platform::PopupMenuItem& entry = items[n];
    const int i = static_cast<int>(n) + 1;
    if (item->isSeparator()) {
      entry.separator = true;
      continue;
    }
    // Any bytes a title holds reach the window system as valid UTF-8, U+FFFD for what is not.
    const std::string titleText = utf16ToUtf8(utf8ToUtf16Lossy(item->getTitle() ? item->getTitle() : ""));
    const char* title = titleText.c_str();
    if (prefixNumbers >= 2 && prefixNumbers <= 4) {
      static const char* const kFormats[] = {"%1d %s", "%02d %s", "%03d %s"};
      const int length = std::snprintf(nullptr, 0, kFormats[prefixNumbers - 2], i, title);
      entry.title.resize(static_cast<std::size_t>(length > 0 ? length : 0) + 1);
      std::snprintf(entry.title.data(), entry.title.size(), kFormats[prefixNumbers - 2], i, title);
      entry.title.pop_back();
    } else {
      entry.title = title;
    }
    entry.columnBreak = columns && i != 1 && (i - 1) % nbItemsPerColumn == 0;
    if (COptionMenu* sub = item->getSubmenu()) {
      entry.submenu = sub->buildPopup(nextId);
      entry.grayed = entry.submenu.empty();
      continue;
    }
    const int id = offset + i - 1;
    // An identifier the window system cannot carry would alias another item's.
    entry.id = id < kMaxPopupMenuIdentifiers ? id : -1;
    entry.grayed = !item->isEnabled() || entry.id < 0;
    entry.disabled = item->isTitle();
    entry.checked = item->isChecked() &&
                    ((style & 0x1) || ((style & kCheckStyle) && i == currentIndex + 1));
    entry.icon = item->getIcon() ? item->getIcon()->getPlatformImage() : nullptr;
  }
  return items;
}

COptionMenu* COptionMenu::menuForIdentifier(int identifier, int& nextId, std::int32_t& index) {
  const int offset = nextId;
  nextId += getNbEntries();
  if (identifier >= offset && identifier < offset + getNbEntries()) {
    index = identifier - offset;
    return this;
  }
  for (CMenuItem* item : menuItems) {
    if (COptionMenu* sub = item->getSubmenu())
      if (COptionMenu* found = sub->menuForIdentifier(identifier, nextId, index)) return found;
  }
  return nullptr;
}

void COptionMenu::takeFocus() {
  if (!pParentFrame) return;
  lastMenu = nullptr;
  lastResult = -1;

  CPoint where(size.left, (style & kPopupStyle) ? size.top : size.bottom);
  localToFrame(where);
  int nextId = 0;
  const std::vector<Platform::PopupMenuItem> items = buildPopup(nextId);

  // The popup waits in the window system's loop, where the host may close the editor:
  // afterwards nothing of a menu or frame that is gone is touched.
  LifeWatch watch(this);
  popupOpen = true;
  const int chosen = Platform::runPopupMenu(pParentFrame->getPlatformWindow(), items, where,
                                            (lastButton & kRButton) != 0);
  if (!watch.alive()) return;
  popupOpen = false;
  if (!isAttached()) return;

  if (chosen >= 0 || bgWhenClick) {
    if (bgWhenClick) setDirty();
    if (chosen >= 0) {
      lastResult = chosen;
      int counter = 0;
      std::int32_t index = -1;
      if (COptionMenu* menu = menuForIdentifier(chosen, counter, index)) {
        lastMenu = menu;
        menu->setValue(static_cast<float>(index));
        // A file command chosen here may run dialogs in which the editor is closed.
        if (listener) listener->valueChanged(menu);
        if (!watch.alive()) return;
      }
    }
  }
  if (isAttached()) {
    gestureOpen = false;
    pParentFrame->setFocusView(nullptr);
    endEdit();
  }
}

void COptionMenu::looseFocus() {
  if (!popupOpen) return;
  popupOpen = false;
  if (pParentFrame) Platform::cancelPopupMenu(pParentFrame->getPlatformWindow());
  announceLooseFocus();
}

bool COptionMenu::removed(CView* parent) {
  if (popupOpen && pParentFrame) Platform::cancelPopupMenu(pParentFrame->getPlatformWindow());
  popupOpen = false;
  if (gestureOpen) {
    // The frame closes mid-gesture (the popup, or a dialog its choice opened): the host hears the end.
    gestureOpen = false;
    endEdit();
  }
  return CParamDisplay::removed(parent);
}

}  // namespace VSTGUI
