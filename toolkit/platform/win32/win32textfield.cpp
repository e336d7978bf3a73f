// The native edit box of a text edit: a child window of class "EDIT" over the view,
// with its own font, coloured by the frame window, and a window procedure that turns
// Return and the loss of the keyboard focus into calls of its client.
#include <string>

#include "toolkit/platform/win32/win32types.h"
#include "toolkit/textconvert.h"

namespace VSTGUI::Platform {

struct TextField {
  HWND hwnd = nullptr;
  HFONT font = nullptr;
  HBRUSH brush = nullptr;  // painted behind the text; replaced on every colour request
  TextFieldClient* client = nullptr;
};

namespace {

/// The procedure of the EDIT class, which every box had before ours replaced it.
WNDPROC gEditClassProc = nullptr;

/// The box holds at most this many UTF-16 units.
constexpr int kTextFieldLimit = 255;

LRESULT CALLBACK editProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // Return, Tab and Escape reach the box instead of a dialog's navigation.
  if (message == WM_GETDLGCODE) return DLGC_WANTALLKEYS;
  auto* field = reinterpret_cast<TextField*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (field && field->client) {
    if (message == WM_KILLFOCUS)
      field->client->textFieldFocusLost();
    else if (message == WM_KEYDOWN && wParam == VK_RETURN)
      field->client->textFieldReturnPressed();
    // The client may have closed the box; nothing of it may be touched then.
    if (!IsWindow(hwnd)) return 0;
  }
  return CallWindowProcW(gEditClassProc, hwnd, message, wParam, lParam);
}

/// The box of an EDIT window of ours, or null for any other window.
TextField* fieldOf(HWND hwnd) {
  if (!hwnd || reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) != editProc) return nullptr;
  return reinterpret_cast<TextField*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

}  // namespace

TextField* openTextField(Window* window, const TextFieldStyle& style, TextFieldClient* client) {
  if (!window || !window->hwnd) return nullptr;
  const std::u16string text = utf8ToUtf16Lossy(style.text);
  DWORD windowStyle = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL;
  if (style.align == 1) windowStyle |= ES_CENTER;
  if (style.align == 2) windowStyle |= ES_RIGHT;
  HWND hwnd = CreateWindowExW(0, L"EDIT", reinterpret_cast<LPCWSTR>(text.c_str()), windowStyle,
                              style.rect.left, style.rect.top, style.rect.width(), style.rect.height(),
                              window->hwnd, nullptr, moduleHandle(), nullptr);
  if (!hwnd) return nullptr;

  LOGFONTW logFont = {};
  logFont.lfHeight = -style.fontHeight;
  logFont.lfWeight = FW_NORMAL;
  logFont.lfCharSet = ANSI_CHARSET;
  logFont.lfOutPrecision = OUT_STRING_PRECIS;
  logFont.lfClipPrecision = CLIP_STROKE_PRECIS;
  logFont.lfQuality = DEFAULT_QUALITY;
  logFont.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  const std::u16string face = utf8ToUtf16Lossy(style.fontName).substr(0, LF_FACESIZE - 1);
  face.copy(reinterpret_cast<char16_t*>(logFont.lfFaceName), face.size());

  auto* field = new TextField;
  field->hwnd = hwnd;
  field->font = CreateFontIndirectW(&logFont);
  field->client = client;
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(field));
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(field->font), TRUE);
  SendMessageW(hwnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
  SendMessageW(hwnd, EM_SETSEL, 0, -1);
  SendMessageW(hwnd, EM_LIMITTEXT, kTextFieldLimit, 0);
  SetFocus(hwnd);
  const auto previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editProc)));
  if (!gEditClassProc) gEditClassProc = previous;
  return field;
}

std::string getTextFieldText(TextField* field) {
  if (!field) return {};
  wchar_t buffer[kTextFieldLimit + 1] = {};
  int length = GetWindowTextW(field->hwnd, buffer, kTextFieldLimit + 1);
  if (length < 0) length = 0;
  // A character cut in half at the limit is left out rather than failing the whole text.
  if (length > 0 && buffer[length - 1] >= 0xD800 && buffer[length - 1] <= 0xDBFF) --length;
  return utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(buffer), length));
}

void closeTextField(TextField* field) {
  if (!field) return;
  // Destroying the box takes its focus away: that message must find no client.
  SetWindowLongPtrW(field->hwnd, GWLP_USERDATA, 0);
  DestroyWindow(field->hwnd);
  if (field->font) DeleteObject(field->font);
  if (field->brush) DeleteObject(field->brush);
  delete field;
}

LRESULT colourEditBox(HDC dc, HWND box, const CColor& text, const CColor& back) {
  SetTextColor(dc, RGB(text.red, text.green, text.blue));
  SetBkColor(dc, RGB(back.red, back.green, back.blue));
  // A box not of ours (none is expected) gets a brush that lives until the next request.
  static HBRUSH strayBrush = nullptr;
  TextField* field = fieldOf(box);
  HBRUSH& slot = field ? field->brush : strayBrush;
  if (slot) DeleteObject(slot);
  slot = CreateSolidBrush(RGB(back.red, back.green, back.blue));
  return reinterpret_cast<LRESULT>(slot);
}

}  // namespace VSTGUI::Platform
