#include "toolkit/ctextedit.h"

#include <algorithm>
#include <cstring>

#include "toolkit/textconvert.h"

namespace VSTGUI {

namespace {

/// Copies at most 255 bytes of txt into text, cut at a whole character.
void storeText(char* text, const char* txt) {
  const std::string_view source(txt);
  const std::size_t length = utf8PrefixLength(source, kTextEditMaxBytes);
  std::memcpy(text, source.data(), length);
  text[length] = 0;
}

}  // namespace

CTextEdit::CTextEdit(const CRect& size, CControlListener* listener, std::int32_t tag, const char* txt,
                     CBitmap* background, std::int32_t style)
    : CParamDisplay(size, listener, tag, background, style) {
  setWantsFocus(true);
  if (txt) storeText(text, txt);
}

CTextEdit::CTextEdit(const CTextEdit& other)
    : CParamDisplay(other),
      CTextFieldColours(),
      TextFieldClient(),
      editConvert(other.editConvert),
      editConvert2(other.editConvert2) {
  std::memcpy(text, other.text, sizeof text);
}

CTextEdit::~CTextEdit() { discardTextField(); }

bool CTextEdit::isTypeOf(const char* type) const {
  return (type && std::strcmp(type, "CTextEdit") == 0) || CParamDisplay::isTypeOf(type);
}

CView* CTextEdit::newCopy() const { return new CTextEdit(*this); }

void CTextEdit::setText(const char* txt) {
  if (txt) {
    if (std::strcmp(text, txt) == 0) return;
    storeText(text, txt);
  } else {
    if (!text[0]) return;
    text[0] = 0;
  }
  setDirty();
}

const char* CTextEdit::getText() const { return text; }

void CTextEdit::getText(char* txt) const {
  if (txt) std::memcpy(txt, text, std::strlen(text) + 1);
}

void CTextEdit::setTextEditConvert(EditConvert2 convert, void* data) {
  editConvert2 = convert;
  userData = data;
}

void CTextEdit::setTextEditConvert(EditConvert convert) { editConvert = convert; }

void CTextEdit::draw(CDrawContext* pContext) {
  if (platformControl) {
    setDirty(false);  // the edit box draws itself
    return;
  }
  char shown[kTextEditMaxBytes + 1] = {};
  if (editConvert2) {
    editConvert2(text, shown, userData);
  } else if (editConvert) {
    editConvert(text, shown);
  } else if (stringConvert2 || stringConvert) {
    valueText(shown);
    storeText(text, shown);
  } else {
    std::memcpy(shown, text, sizeof shown);
  }
  shown[kTextEditMaxBytes] = 0;
  drawText(pContext, shown);
  setDirty(false);
}

CMouseEventResult CTextEdit::onMouseDown(const CPoint&, const CButton& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  if (pParentFrame && pParentFrame->getFocusView() == this) return kMouseEventNotHandled;
  if ((style & kDoubleClickStyle) && !(buttons & kDoubleClick)) return kMouseEventNotHandled;
  beginEdit();
  takeFocus();
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void CTextEdit::takeFocus() {
  if (platformControl || !pParentFrame) return;
  Platform::Window* window = pParentFrame->getPlatformWindow();
  if (!window) return;
  bWasReturnPressed = false;

  CPoint origin(size.left, size.top);
  localToFrame(origin);
  Platform::TextFieldStyle fieldStyle;
  // One pixel larger than the view each way, as the box draws its last row and column inside.
  fieldStyle.rect = CRect(origin.h, origin.v, origin.h + size.width() + 1, origin.v + size.height() + 1);
  fieldStyle.text = text;
  fieldStyle.align = horiTxtAlign;
  fieldStyle.fontName = fontID->getName();
  fieldStyle.fontHeight = std::min<CCoord>(size.height() - 2, fontID->getSize());
  fieldStyle.fontColor = fontColor;
  fieldStyle.backColor = backColor;
  textInBox = text;
  platformControl = Platform::openTextField(window, fieldStyle, this);
}

void CTextEdit::looseFocus() {
  // Clearing the focus view calls looseFocus again; that call does the work.
  if (pParentFrame && pParentFrame->getFocusView() == this) {
    pParentFrame->setFocusView(nullptr);
    return;
  }
  if (!platformControl) return;
  LifeWatch watch(this);  // the listener may close the editor and destroy this field
  endEdit();

  const std::string old(text);
  std::string edited = Platform::getTextFieldText(platformControl);
  // A text that was not valid UTF-8 comes back from the box with replacement characters;
  // left untouched, it keeps its own bytes.
  if (edited == utf16ToUtf8(utf8ToUtf16Lossy(textInBox))) edited = textInBox;
  storeText(text, edited.c_str());

  Platform::TextField* field = platformControl;
  platformControl = nullptr;  // closing the box loses its focus, which must find no box
  Platform::closeTextField(field);
  setDirty();

  if (old != text && listener) listener->valueChanged(this);
  if (watch.alive()) announceLooseFocus();
}

void CTextEdit::textFieldReturnPressed() {
  bWasReturnPressed = true;
  if (pParentFrame && pParentFrame->getFocusView() == this)
    pParentFrame->setFocusView(nullptr);
  else
    looseFocus();
}

void CTextEdit::textFieldFocusLost() { looseFocus(); }

void CTextEdit::discardTextField() {
  if (!platformControl) return;
  Platform::TextField* field = platformControl;
  platformControl = nullptr;
  Platform::closeTextField(field);
}

bool CTextEdit::removed(CView* parent) {
  if (platformControl) {
    // The frame is closing while the user edits: the box goes, nothing is committed,
    // and the host's gesture is ended.
    discardTextField();
    endEdit();
  }
  return CParamDisplay::removed(parent);
}

}  // namespace VSTGUI
