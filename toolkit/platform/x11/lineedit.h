// A one-line text editor drawn with the toolkit's cairo drawing: the text, caret and
// selection, the keys of a Windows edit box and the mouse. The X11 text field and the
// built-in file dialog both use it. Only the toolkit's X11 sources include this header.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/platform/platform.h"

namespace VSTGUI::X11 {

class LineEdit {
 public:
  /// What a key did.
  enum class Outcome { kIgnored, kMoved, kEdited, kReturn };

  /// An editor holding at most limit UTF-16 units.
  explicit LineEdit(std::size_t limit) : limit(limit) {}

  /// Replaces the text (cut to the limit at a whole character); the caret goes to its end.
  void setText(std::u16string_view text);
  const std::u16string& text() const { return content; }
  void selectAll();
  bool allSelected() const { return selectionStart() == 0 && selectionEnd() == content.size(); }
  std::size_t caretIndex() const { return caret; }

  /// A key press (keysym and X modifier state).
  Outcome key(std::uint32_t keysym, std::uint16_t state);
  /// Inserts text at the caret in place of the selection, as far as the limit lets it.
  void insert(std::u16string_view text);
  /// A press at x (window pixels): places the caret, or extends the selection with Shift.
  void press(float x, bool extend);
  /// A move with the button down: extends the selection to x.
  void drag(float x);

  /// Colours and place of one drawing.
  struct Look {
    CRect box;
    int align = 0;  // 0 left, 1 centre, 2 right
    std::uint32_t textArgb = 0xFF000000u;
    std::uint32_t backArgb = 0xFFFFFFFFu;
    bool caretShown = true;
  };
  /// Draws the box: background, text, selection and caret; remembers the layout for clicks.
  void draw(Platform::Graphics* graphics, Platform::Font* font, const Look& look);

 private:
  std::size_t selectionStart() const { return caret < anchor ? caret : anchor; }
  std::size_t selectionEnd() const { return caret < anchor ? anchor : caret; }
  void eraseSelection();
  std::size_t previousBoundary(std::size_t index) const;
  std::size_t nextBoundary(std::size_t index) const;
  std::size_t indexAt(float x) const;

  std::size_t limit;
  std::u16string content;
  std::size_t caret = 0;
  std::size_t anchor = 0;
  float scroll = 0.f;
  // Layout of the last drawing: where each caret position lies, in window pixels.
  std::vector<float> offsets;
  float origin = 0.f;
};

}  // namespace VSTGUI::X11
