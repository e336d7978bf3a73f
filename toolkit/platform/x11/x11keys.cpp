#include "toolkit/platform/x11/x11keys.h"

#include <cstdlib>
#include <memory>

#define XK_MISCELLANY
#define XK_LATIN1
#include <X11/keysymdef.h>

namespace VSTGUI::X11 {

namespace {

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

bool isKeypad(std::uint32_t sym) { return sym >= XK_KP_Space && sym <= XK_KP_Equal; }

/// Lower and upper case of a Latin-1 keysym, as the core protocol pairs a lone keysym.
void convertCase(std::uint32_t sym, std::uint32_t& lower, std::uint32_t& upper) {
  lower = upper = sym;
  if (sym >= XK_a && sym <= XK_z) upper = sym - 0x20;
  else if (sym >= XK_A && sym <= XK_Z) lower = sym + 0x20;
  else if (sym >= XK_agrave && sym <= XK_thorn && sym != XK_division) upper = sym - 0x20;
  else if (sym >= XK_Agrave && sym <= XK_THORN && sym != XK_multiply) lower = sym + 0x20;
}

}  // namespace

bool Keyboard::load(xcb_connection_t* connection) {
  const xcb_setup_t* setup = xcb_get_setup(connection);
  minKeycode = setup->min_keycode;
  const int count = setup->max_keycode - setup->min_keycode + 1;
  Reply<xcb_get_keyboard_mapping_reply_t> keys(
      xcb_get_keyboard_mapping_reply(connection, xcb_get_keyboard_mapping(connection, minKeycode, count), nullptr),
      &std::free);
  Reply<xcb_get_modifier_mapping_reply_t> mods(
      xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr), &std::free);
  if (!keys || !mods) return false;
  perKeycode = keys->keysyms_per_keycode;
  const xcb_keysym_t* first = xcb_get_keyboard_mapping_keysyms(keys.get());
  syms.assign(first, first + xcb_get_keyboard_mapping_keysyms_length(keys.get()));

  // Which of Mod1..Mod5 carry Alt, Mode_switch and Num_Lock on this keyboard.
  const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(mods.get());
  const int perModifier = mods->keycodes_per_modifier;
  alt = modeSwitch = numLock = 0;
  for (int modifier = 3; modifier < 8; ++modifier) {
    for (int k = 0; k < perModifier; ++k) {
      const xcb_keycode_t code = codes[modifier * perModifier + k];
      if (code < minKeycode || perKeycode == 0) continue;
      for (int column = 0; column < perKeycode; ++column) {
        const std::size_t at = static_cast<std::size_t>(code - minKeycode) * perKeycode + column;
        if (at >= syms.size()) break;
        const std::uint16_t bit = static_cast<std::uint16_t>(1u << modifier);
        if (syms[at] == XK_Alt_L || syms[at] == XK_Alt_R) alt |= bit;
        if (syms[at] == XK_Mode_switch) modeSwitch |= bit;
        if (syms[at] == XK_Num_Lock) numLock |= bit;
      }
    }
  }
  if (!alt) alt = XCB_MOD_MASK_1;
  return true;
}

std::uint32_t Keyboard::keysym(std::uint8_t keycode, std::uint16_t state) const {
  if (keycode < minKeycode || perKeycode == 0) return 0;
  const std::size_t row = static_cast<std::size_t>(keycode - minKeycode) * perKeycode;
  if (row + perKeycode > syms.size()) return 0;
  auto at = [&](int column) -> std::uint32_t { return column < perKeycode ? syms[row + column] : 0; };

  // The group: the second pair of columns while Mode_switch is held and the key has one.
  int group = 0;
  if (modeSwitch && (state & modeSwitch) && (at(2) || at(3))) group = 2;
  std::uint32_t first = at(group);
  std::uint32_t second = at(group + 1);
  if (!second) {
    std::uint32_t lower, upper;
    convertCase(first, lower, upper);
    first = lower;
    second = upper;
  }
  const bool shift = (state & XCB_MOD_MASK_SHIFT) != 0;
  const bool lock = (state & XCB_MOD_MASK_LOCK) != 0;
  if (numLock && (state & numLock) && isKeypad(second)) return shift ? first : second;
  if (!shift && !lock) return first;
  if (!shift && lock) {
    std::uint32_t lower, upper;
    convertCase(first, lower, upper);
    return upper;
  }
  return second;
}

char32_t keysymToUnicode(std::uint32_t keysym) {
  if ((keysym >= 0x20 && keysym <= 0x7E) || (keysym >= 0xA0 && keysym <= 0xFF)) return keysym;
  if (keysym >= 0x01000100 && keysym <= 0x0110FFFF) return keysym - 0x01000000;
  if (keysym >= XK_KP_0 && keysym <= XK_KP_9) return U'0' + (keysym - XK_KP_0);
  switch (keysym) {
    case XK_KP_Space: return U' ';
    case XK_KP_Multiply: return U'*';
    case XK_KP_Add: return U'+';
    case XK_KP_Separator: return U',';
    case XK_KP_Subtract: return U'-';
    case XK_KP_Decimal: return U'.';
    case XK_KP_Divide: return U'/';
    case XK_KP_Equal: return U'=';
    case 0x20AC: return U'\u20AC';  // the euro sign's own keysym
    default: return 0;
  }
}

}  // namespace VSTGUI::X11
