// Popup menus: COptionMenu is a button that opens the platform's popup menu built
// from its CMenuItem list and reports the chosen item's index as its value.
#pragma once

#include <vector>

#include "toolkit/cparamdisplay.h"
#include "toolkit/platform/platform.h"

namespace VSTGUI {

class COptionMenu;

/// One entry of a menu: a title, or a separator, or a submenu.
class CMenuItem : public CBaseObject {
 public:
  enum Flags : std::int32_t {
    kNoFlags = 0,
    kDisabled = 1 << 0,
    kTitle = 1 << 1,
    kChecked = 1 << 2,
    kSeparator = 1 << 3,
  };

  explicit CMenuItem(const char* title, std::int32_t flags = kNoFlags);
  /// An entry that opens submenu (a reference is taken on it).
  CMenuItem(const char* title, COptionMenu* submenu);
  ~CMenuItem() override;
  CMenuItem(const CMenuItem&) = delete;
  CMenuItem& operator=(const CMenuItem&) = delete;

  virtual void setTitle(const char* title);
  virtual void setSubmenu(COptionMenu* submenu);
  virtual void setKey(const char* keyCode, std::int32_t keyModifiers = 0);
  virtual void setEnabled(bool state = true);
  virtual void setChecked(bool state = true);
  virtual void setIsTitle(bool state = true);
  virtual void setIsSeparator(bool state = true);
  virtual void setIcon(CBitmap* icon);

  const char* getTitle() const { return title; }
  const char* getKey() const { return keycode; }
  std::int32_t getKeyModifiers() const { return keyModifiers; }
  COptionMenu* getSubmenu() const { return submenu; }
  CBitmap* getIcon() const { return icon; }
  std::int32_t getFlags() const { return flags; }
  bool isEnabled() const { return !(flags & kDisabled); }
  bool isChecked() const { return (flags & kChecked) != 0; }
  bool isTitle() const { return (flags & kTitle) != 0; }
  bool isSeparator() const { return (flags & kSeparator) != 0; }

 protected:
  void setFlag(std::int32_t flag, bool state);

  char* title = nullptr;
  char* keycode = nullptr;
  COptionMenu* submenu = nullptr;
  CBitmap* icon = nullptr;
  std::int32_t flags = kNoFlags;
  std::int32_t keyModifiers = 0;
};

/// The identifiers a popup can report: the window system carries them in 16 bits.
inline constexpr int kMaxPopupMenuIdentifiers = 0x10000;

/// A menu button; its value is the index of the chosen item (separators counted).
class COptionMenu : public CParamDisplay {
 public:
  COptionMenu(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background = nullptr,
              CBitmap* bgWhenClick = nullptr, std::int32_t style = 0);
  ~COptionMenu() override;
  COptionMenu(const COptionMenu&) = delete;
  COptionMenu& operator=(const COptionMenu&) = delete;

  /// Appends (index -1) or inserts a titled item; the title "-" makes a separator.
  virtual CMenuItem* addEntry(const char* title, std::int32_t index = -1,
                              std::int32_t itemFlags = CMenuItem::kNoFlags);
  /// Appends an item opening submenu.
  virtual CMenuItem* addEntry(COptionMenu* submenu, const char* title);
  /// Appends (index -1) or inserts an item; the menu takes over the caller's reference.
  virtual CMenuItem* addEntry(CMenuItem* item, std::int32_t index = -1);
  virtual CMenuItem* addSeparator();
  virtual CMenuItem* getCurrent() const;
  /// The current index, or without separators counted.
  virtual std::int32_t getCurrentIndex(bool countSeparator = false) const;
  /// The item at index (separators counted); a negative index gives the first; null past the end.
  virtual CMenuItem* getEntry(std::int32_t index) const;
  virtual std::int32_t getNbEntries() const;
  /// Selects an item; false for a missing item or a separator.
  virtual bool setCurrent(std::int32_t index, bool countSeparator = true);
  virtual bool removeEntry(std::int32_t index);
  virtual bool removeAllEntry();
  virtual bool checkEntry(std::int32_t index, bool state);
  /// Checks that item and unchecks all others.
  virtual bool checkEntryAlone(std::int32_t index);
  virtual bool isCheckEntry(std::int32_t index) const;
  virtual void setNbItemsPerColumn(std::int32_t val);
  virtual std::int32_t getNbItemsPerColumn() const;
  /// Numbers the items with 2, 3 or 4 digits (0: not numbered).
  virtual void setPrefixNumbers(std::int32_t val);

  void draw(CDrawContext* pContext) override;
  CMouseEventResult onMouseDown(const CPoint& where, const CButton& buttons) override;
  /// Shows the popup and waits for the choice.
  void takeFocus() override;
  void looseFocus() override;
  /// The index of an item (the value), ignored when no such item exists.
  void setValue(float val) override;
  /// A view leaving the frame closes its popup and ends its gesture.
  bool removed(CView* parent) override;
  bool isTypeOf(const char* type) const override;
  CView* newCopy() const override;

  /// The (sub)menu that held the last chosen item, or null.
  COptionMenu* getLastItemMenu() const { return lastMenu; }
  /// The identifier of the last chosen item, or -1.
  std::int32_t getLastResult() const { return lastResult; }
  CBitmap* getBackgroundWhenClick() const { return bgWhenClick; }
  std::int32_t getLastButton() const { return lastButton; }
  /// The popup as it is shown: identifiers run on from nextId (which ends past this menu's and its submenus').
  std::vector<Platform::PopupMenuItem> buildPopup(int& nextId) const;
  /// The menu and item index that a popup identifier denotes, numbered as buildPopup numbers them.
  COptionMenu* menuForIdentifier(int identifier, int& nextId, std::int32_t& index);

 protected:
  std::vector<CMenuItem*> menuItems;
  std::int32_t currentIndex = -1;
  CBitmap* bgWhenClick = nullptr;
  std::int32_t lastButton = kRButton;
  std::int32_t nbItemsPerColumn = -1;
  std::int32_t lastResult = -1;
  std::int32_t prefixNumbers = 0;
  COptionMenu* lastMenu = nullptr;
  bool popupOpen = false;     // the platform's popup is being shown
  bool gestureOpen = false;   // a click began the host's gesture; the popup ends it
};

}  // namespace VSTGUI
