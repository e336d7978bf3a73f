// A text the user can edit: a click opens the platform's native one-line edit box
// over the view; Return or a loss of focus closes it and reports a changed text.
#pragma once

#include <string>

#include "toolkit/cframe.h"
#include "toolkit/cparamdisplay.h"
#include "toolkit/platform/platform.h"

namespace VSTGUI {

/// The longest text a text edit holds, in UTF-8 bytes.
inline constexpr std::size_t kTextEditMaxBytes = 255;

class CTextEdit : public CParamDisplay, public CTextFieldColours, private Platform::TextFieldClient {
 public:
  using EditConvert = void (*)(char* input, char* output);
  using EditConvert2 = void (*)(char* input, char* output, void* userData);

  CTextEdit(const CRect& size, CControlListener* listener, std::int32_t tag, const char* txt = nullptr,
            CBitmap* background = nullptr, std::int32_t style = 0);
  CTextEdit(const CTextEdit& other);
  ~CTextEdit() override;

  /// Stores at most 255 bytes (never half a character); marks the view when the text changed.
  /// While the edit box is open only the stored text changes, not the box.
  virtual void setText(const char* txt);
  virtual const char* getText() const;
  /// Copies the text and its terminator into txt (256 bytes).
  virtual void getText(char* txt) const;
  virtual void setTextEditConvert(EditConvert2 convert, void* userData);
  virtual void setTextEditConvert(EditConvert convert);

  void draw(CDrawContext* pContext) override;
  CMouseEventResult onMouseDown(const CPoint& where, const CButton& buttons) override;
  /// Opens the edit box over the view.
  void takeFocus() override;
  /// Closes the edit box, ends the gesture and reports a changed text.
  void looseFocus() override;
  /// A view leaving the frame closes its edit box without committing.
  bool removed(CView* parent) override;
  bool isTypeOf(const char* type) const override;
  CView* newCopy() const override;

  CColor getTextFieldFontColor() const override { return fontColor; }
  CColor getTextFieldBackColor() const override { return backColor; }

  /// True while the edit box is open.
  bool isEditing() const { return platformControl != nullptr; }
  /// True when Return ended the last editing.
  bool wasReturnPressed() const { return bWasReturnPressed; }

 protected:
  void textFieldReturnPressed() override;
  void textFieldFocusLost() override;
  /// Closes the box without reading it.
  void discardTextField();

  Platform::TextField* platformControl = nullptr;
  bool bWasReturnPressed = false;
  char text[kTextEditMaxBytes + 1] = {};
  EditConvert editConvert = nullptr;
  EditConvert2 editConvert2 = nullptr;
  std::string textInBox;  // the stored text as the box was opened with it
};

}  // namespace VSTGUI
