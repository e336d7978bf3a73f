// The keyboard of an X connection as the core protocol describes it: keycodes to
// keysyms under the modifier state, and keysyms to the characters they type. Only the
// toolkit's X11 sources include this header. (Keys for the editor itself come from the
// host as effEditKeyDown's key codes; our windows see keys only while a field edits.)
#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <vector>


namespace VSTGUI::X11 {

/// The keyboard and modifier mapping of one connection.
class Keyboard {
 public:
  /// Reads both mappings from the server; false when the connection failed.
  bool load(xcb_connection_t* connection);
  /// The keysym a key press of keycode shows under the modifier state (0: none).
  std::uint32_t keysym(std::uint8_t keycode, std::uint16_t state) const;
  /// The modifier bit that Alt sets (Mod1 on most keyboards).
  std::uint16_t altMask() const { return alt; }

 private:
  std::uint8_t minKeycode = 8;
  int perKeycode = 0;
  std::vector<std::uint32_t> syms;
  std::uint16_t alt = XCB_MOD_MASK_1;
  std::uint16_t modeSwitch = 0;
  std::uint16_t numLock = XCB_MOD_MASK_2;
};

/// The character a keysym types (0 when it types none).
char32_t keysymToUnicode(std::uint32_t keysym);

}  // namespace VSTGUI::X11
