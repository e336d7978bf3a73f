// Controls as a host's mouse reaches them: window messages into a headless frame,
// and what the listener and the host (through the editor interface) hear. Knob
// drags in each mode, slider clicks and fine mode, wheel and arrow keys, the reset
// gesture, kick buttons, film-strip frames on real pixels, the idle pass, text
// fields, popup menus and the splash screen.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/toolkit/toolkit_test_util.h"
#include "toolkit/ckickbutton.h"
#include "toolkit/cknob.h"
#include "toolkit/coptionmenu.h"
#include "toolkit/csplashscreen.h"
#include "toolkit/cslider.h"
#include "toolkit/ctextedit.h"

using namespace VSTGUI;
using namespace toolkit_test;

namespace {

/// Everything a control told its listener and the host, in order: "change 3=0.5", "begin 3", "end 3".
struct Journal : CControlListener, VSTGUIEditorInterface {
  void valueChanged(CControl* control) override {
    values.push_back(control->getValue());
    lines.push_back("change " + std::to_string(control->getTag()));
  }
  std::int32_t getKnobMode() const override { return knobMode; }
  void beginEdit(std::int32_t tag) override { lines.push_back("begin " + std::to_string(tag)); }
  void endEdit(std::int32_t tag) override { lines.push_back("end " + std::to_string(tag)); }
  void clear() {
    lines.clear();
    values.clear();
  }

  std::vector<std::string> lines;
  std::vector<float> values;
  std::int32_t knobMode = kLinearMode;
};

using Lines = std::vector<std::string>;

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Headless::setMouseButtons(0);
    Headless::setAltDown(false);
    Headless::resetPopups();
    frame = new CFrame(CRect(0, 0, 856, 392), fakeParentWindow(), &journal);
    window = windowOf(frame);
  }
  void TearDown() override {
    if (frame) frame->forget();
    Headless::setAltDown(false);
  }

  template <typename View>
  View* add(View* view) {
    frame->addView(view);
    view->forget();
    return view;
  }
  void press(int x, int y, std::uint32_t keys = kKeyStateLButton) {
    Headless::send(window, Headless::mouseMessage(WindowMessage::kButtonDown, x, y, keys));
  }
  void move(int x, int y, std::uint32_t keys = kKeyStateLButton) {
    Headless::send(window, Headless::mouseMessage(WindowMessage::kMouseMove, x, y, keys));
  }
  void release(int x, int y, std::uint32_t keys = 0) {
    Headless::send(window, Headless::mouseMessage(WindowMessage::kButtonUp, x, y, keys));
  }
  void wheel(int x, int y, int notches, CButton held = 0) {
    Headless::setMouseButtons(held);
    Headless::send(window, Headless::wheelMessage(x, y, notches));
    Headless::setMouseButtons(0);
  }
  /// Paints what is invalid, so every control's drawn value is its value.
  void settle() {
    frame->idle();
    Headless::paint(window);
  }

  Journal journal;
  CFrame* frame = nullptr;
  Platform::Window* window = nullptr;
};

CBitmap* strip() { return new CBitmap("STRIP"); }

}  // namespace

TEST_F(ControlsTest, LinearKnobDragCoversTheRangeIn200PixelsAndShiftDividesByTheZoom) {
  CBitmap* bitmap = strip();
  auto* knob = add(new CAnimKnob(CRect(64, 80, 128, 144), &journal, 7, 101, 64, bitmap));
  bitmap->forget();
  knob->setZoomFactor(20.0f);
  settle();

  press(96, 112);
  EXPECT_EQ(frame->getFocusView(), knob);
  move(146, 62);  // 50 up, 50 right: half the range
  EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);
  move(196, 12);
  EXPECT_FLOAT_EQ(knob->getValue(), 1.0f);
  move(250, 0);  // clamps
  EXPECT_FLOAT_EQ(knob->getValue(), 1.0f);
  release(250, 0);
  EXPECT_EQ(journal.lines.front(), "begin 7");
  EXPECT_EQ(journal.lines.back(), "end 7");
  EXPECT_EQ(journal.values, (std::vector<float>{0.5f, 1.0f}));

  // From 0 with Shift held from the start: 200 pixels give 1/20 of the range.
  knob->setValue(0.0f);
  settle();
  journal.clear();
  press(96, 112, kKeyStateLButton | kKeyStateShift);
  move(196, 12, kKeyStateLButton | kKeyStateShift);
  EXPECT_NEAR(knob->getValue(), 0.05f, 1e-6);
  // Shift released mid-drag: the move that reports it still goes at the fine speed,
  // the next ones at full speed; the value never jumps.
  move(206, 12, kKeyStateLButton);
  EXPECT_NEAR(knob->getValue(), 0.0525f, 1e-6);
  move(216, 12, kKeyStateLButton);
  EXPECT_NEAR(knob->getValue(), 0.1025f, 1e-6);
  move(226, 12, kKeyStateLButton | kKeyStateShift);
  EXPECT_NEAR(knob->getValue(), 0.1525f, 1e-6);
  move(246, 12, kKeyStateLButton | kKeyStateShift);
  EXPECT_NEAR(knob->getValue(), 0.1575f, 1e-6);
  release(246, 12);
  EXPECT_EQ(journal.lines.front(), "begin 7");
  EXPECT_EQ(journal.lines.back(), "end 7");
}

TEST_F(ControlsTest, CircularKnobFollowsTheAngleAndCannotCrossTheDeadZone) {
  auto* knob = add(new CKnob(CRect(64, 80, 128, 144), &journal, 3, nullptr, nullptr));
  // Alt in linear mode turns the drag circular: straight above the centre is the middle.
  Headless::setAltDown(true);
  press(96, 81);
  EXPECT_NEAR(knob->getValue(), 0.5f, 1e-6);
  release(96, 81);
  Headless::setAltDown(false);

  journal.knobMode = kCircularMode;
  press(120, 143);  // lower right, in the dead zone's right half: the maximum
  EXPECT_FLOAT_EQ(knob->getValue(), 1.0f);
  move(97, 143);  // across the bottom, still the right half
  EXPECT_FLOAT_EQ(knob->getValue(), 1.0f);
  move(65, 143);  // on to the minimum's side: the knob stays at the maximum
  EXPECT_FLOAT_EQ(knob->getValue(), 1.0f);
  move(65, 81);  // the upper left is too far a jump from the maximum
  EXPECT_FLOAT_EQ(knob->getValue(), 1.0f);
  move(127, 81);  // upper right: back inside the sweep, near where it left
  EXPECT_NEAR(knob->getValue(), 0.6667f, 1e-3);
  release(127, 81);

  // The pointer point of a value agrees with the value of that point.
  for (float v : {0.0f, 0.25f, 0.5f, 0.75f, 1.0f}) {
    knob->setValue(v);
    CPoint p;
    knob->valueToPoint(p);
    EXPECT_NEAR(knob->valueFromPoint(p), v, 0.03f) << v;
  }
}

TEST_F(ControlsTest, ResetGestureRestoresTheDefaultInsideTheOuterGesture) {
  auto* knob = add(new CKnob(CRect(64, 80, 128, 144), &journal, 14, nullptr, nullptr));
  auto* slider = add(new CVerticalSlider(CRect(304, 200, 352, 328), &journal, 6, 200, 312, nullptr, nullptr));
  knob->setDefaultValue(0.5f);
  slider->setDefaultValue(0.5f);
  knob->setValue(0.9f);
  slider->setValue(0.2f);
  settle();

  press(96, 112, kKeyStateLButton | kKeyStateControl);
  EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);
  EXPECT_EQ(journal.lines, (Lines{"begin 14", "begin 14", "change 14", "end 14", "end 14"}));
  move(120, 90, kKeyStateLButton | kKeyStateControl);
  release(120, 90);
  EXPECT_EQ(journal.lines.size(), 5u) << "the click was consumed: no moves, no release";

  journal.clear();
  settle();
  press(96, 112, kKeyStateLButton | kKeyStateControl);  // already at the default: no change reported
  EXPECT_EQ(journal.lines, (Lines{"begin 14", "begin 14", "end 14", "end 14"}));

  journal.clear();
  press(320, 300, kKeyStateLButton | kKeyStateControl | kKeyStateShift);  // Shift too: no reset
  EXPECT_NE(slider->getValue(), 0.5f);
  release(320, 300);
  journal.clear();
  press(320, 300, kKeyStateLButton | kKeyStateControl);
  EXPECT_FLOAT_EQ(slider->getValue(), 0.5f);
  EXPECT_EQ(journal.lines, (Lines{"begin 6", "begin 6", "change 6", "end 6", "end 6"}));
}

TEST_F(ControlsTest, VerticalSliderClicksAndDragsClampAndShiftMovesOneTwentieth) {
  CBitmap* handle = new CBitmap(frame, 48, 16);
  auto* slider = add(new CVerticalSlider(CRect(64, 200, 112, 328), &journal, 2, 200, 312, handle, nullptr));
  handle->forget();
  slider->setZoomFactor(20.0f);

  press(88, 207);
  EXPECT_FLOAT_EQ(slider->getValue(), 1.0f);
  move(88, 319);
  EXPECT_FLOAT_EQ(slider->getValue(), 0.0f);
  move(88, 400);
  EXPECT_FLOAT_EQ(slider->getValue(), 0.0f);
  move(88, 100);
  EXPECT_FLOAT_EQ(slider->getValue(), 1.0f);
  release(88, 100);
  EXPECT_EQ(journal.lines.front(), "begin 2");
  EXPECT_EQ(journal.lines.back(), "end 2");

  slider->setValue(0.5f);
  settle();
  press(88, 300, kKeyStateLButton | kKeyStateShift);  // fine mode starts where the value is
  EXPECT_FLOAT_EQ(slider->getValue(), 0.5f);
  move(88, 235, kKeyStateLButton | kKeyStateShift);  // the pointer at 0.75: a twentieth of the way there
  EXPECT_NEAR(slider->getValue(), 0.5125f, 1e-6);
  release(88, 235);

  press(88, 207, kKeyStateRButton);
  EXPECT_NEAR(slider->getValue(), 0.5125f, 1e-6) << "the right button does not move a slider";
}

TEST_F(ControlsTest, WheelAndArrowKeysStepAndStayQuietAtTheBounds) {
  auto* knob = add(new CKnob(CRect(656, 80, 720, 144), &journal, 15, nullptr, nullptr));
  knob->setValue(0.5f);
  settle();
  wheel(680, 100, 1);
  EXPECT_NEAR(knob->getValue(), 0.6f, 1e-6);
  EXPECT_EQ(journal.lines, (Lines{"begin 15", "change 15", "end 15"}));
  wheel(680, 100, 1, kShift);
  EXPECT_NEAR(knob->getValue(), 0.61f, 1e-6);

  knob->setValue(1.0f);
  settle();
  journal.clear();
  wheel(680, 100, 1);
  EXPECT_FLOAT_EQ(knob->getValue(), 1.0f);
  EXPECT_TRUE(journal.lines.empty()) << "no notification at the top";

  // Keys reach the control that took the last click.
  press(690, 110, kKeyStateLButton | kKeyStateControl);  // a reset click makes it the focus view
  release(690, 110);
  knob->setValue(0.0f);
  settle();
  journal.clear();
  VstKeyCode down{0, VKEY_DOWN, 0};
  EXPECT_EQ(frame->onKeyDown(down), 1);
  EXPECT_TRUE(journal.lines.empty()) << "no notification at the bottom";
  VstKeyCode up{0, VKEY_UP, MODIFIER_SHIFT};
  EXPECT_EQ(frame->onKeyDown(up), 1);
  EXPECT_NEAR(knob->getValue(), 0.01f, 1e-6);
  VstKeyCode other{'a', 0, 0};
  EXPECT_EQ(frame->onKeyDown(other), -1);
}

TEST_F(ControlsTest, KickButtonReportsOneThenZeroOnlyWhenReleasedInside) {
  auto* button = add(new CKickButton(CRect(336, 112, 352, 128), &journal, 103, 16, nullptr));
  press(340, 120);
  EXPECT_FLOAT_EQ(button->getValue(), 1.0f);
  release(340, 120);
  EXPECT_EQ(journal.lines, (Lines{"begin 103", "change 103", "change 103", "end 103"}));
  EXPECT_EQ(journal.values, (std::vector<float>{1.0f, 0.0f}));

  journal.clear();
  press(340, 120);
  move(400, 120);
  EXPECT_FLOAT_EQ(button->getValue(), 0.0f);
  release(400, 120);
  EXPECT_EQ(journal.values, (std::vector<float>{0.0f}));

  journal.clear();
  press(340, 120);
  move(400, 120);
  move(352, 128);  // back in: the edges count
  release(352, 128);
  EXPECT_EQ(journal.values, (std::vector<float>{1.0f, 0.0f}));
}

TEST_F(ControlsTest, FilmStripShowsTheImageOfTheValueAndIdleRedrawsOnlyChanges) {
  CBitmap* bitmap = strip();
  ASSERT_EQ(bitmap->getHeight(), 6464);
  auto* knob = add(new CAnimKnob(CRect(64, 80, 128, 144), &journal, 0, 0, 64, bitmap));
  bitmap->forget();
  EXPECT_EQ(knob->getNumSubPixmaps(), 101) << "the bitmap decides the number of images";
  const std::pair<float, int> cases[] = {{0.0f, 0},     {0.5f, 50},  {0.99f, 99},  {1.0f, 100},
                                         {1.0f - 1e-7f, 99}, {-0.5f, 0}, {7.0f, 100}, {NAN, 0}};
  for (const auto& [value, image] : cases) {
    knob->setValue(value);
    knob->setDirty();  // some of these move the rim point by less than a pixel
    settle();
    EXPECT_EQ(Headless::pixel(window, 100, 100) >> 16 & 0xFF, static_cast<std::uint32_t>(image)) << value;
  }

  // A value set from outside is drawn by the next idle pass; a pass with nothing new draws nothing.
  knob->setValue(0.25f);
  Headless::clearInvalidRects(window);
  frame->idle();
  EXPECT_EQ(Headless::invalidUnion(window), CRect(64, 80, 128, 144));
  Headless::paint(window);
  frame->idle();
  EXPECT_FALSE(Headless::paint(window));
  knob->setValue(0.25f + 1e-4f);  // moves the rim point by less than a pixel
  frame->idle();
  EXPECT_FALSE(Headless::paint(window));
}

TEST_F(ControlsTest, TextEditCommitsOnReturnAndFocusLossAndNeverSplitsACharacter) {
  auto* edit = add(new CTextEdit(CRect(316, 90, 488, 106), &journal, 102, "Bright E.Piano"));
  Headless::TextFieldState field;

  press(400, 98);
  ASSERT_TRUE(Headless::textFieldShown(window, &field));
  EXPECT_EQ(field.text, "Bright E.Piano");
  EXPECT_TRUE(field.allSelected);
  EXPECT_EQ(field.style.rect, CRect(316, 90, 489, 107));
  EXPECT_EQ(field.style.fontHeight, 12);
  Headless::pressTextFieldKey(window, Headless::TextFieldKey::kReturn);
  EXPECT_FALSE(Headless::textFieldShown(window));
  EXPECT_EQ(journal.lines, (Lines{"begin 102", "end 102"})) << "unchanged: nothing reported";

  journal.clear();
  press(400, 98);
  Headless::typeIntoTextField(window, "Glass");
  Headless::pressTextFieldKey(window, Headless::TextFieldKey::kEscape);  // the box's own key
  Headless::pressTextFieldKey(window, Headless::TextFieldKey::kTab);
  EXPECT_TRUE(Headless::textFieldShown(window));
  Headless::pressTextFieldKey(window, Headless::TextFieldKey::kReturn);
  EXPECT_TRUE(edit->wasReturnPressed());
  EXPECT_STREQ(edit->getText(), "Glass");
  EXPECT_EQ(journal.lines, (Lines{"begin 102", "end 102", "change 102"}));

  // A click elsewhere commits as Return does; so does the box losing the keyboard.
  journal.clear();
  press(400, 98);
  Headless::typeIntoTextField(window, "Bell");
  press(10, 10);
  EXPECT_STREQ(edit->getText(), "Bell");
  EXPECT_EQ(journal.lines, (Lines{"begin 102", "end 102", "change 102"}));
  press(400, 98);
  Headless::typeIntoTextField(window, "Pad");
  Headless::textFieldLosesFocus(window);
  EXPECT_STREQ(edit->getText(), "Pad");
  EXPECT_EQ(frame->getFocusView(), nullptr);

  // 254 ASCII bytes and a two-byte character: the cut keeps 254 bytes, not half a character.
  const std::string longText = std::string(254, 'a') + "\xC3\xA9" + "tail";
  edit->setText(longText.c_str());
  EXPECT_EQ(std::string(edit->getText()), std::string(254, 'a'));
  std::string accents;
  for (int i = 0; i < 200; ++i) accents += "\xC3\xA9";
  press(400, 98);
  Headless::typeIntoTextField(window, accents);  // 200 characters, 400 bytes
  Headless::pressTextFieldKey(window, Headless::TextFieldKey::kReturn);
  EXPECT_EQ(std::string(edit->getText()), accents.substr(0, 254));

  // Not valid UTF-8: shown with replacement characters, and left as it was when untouched.
  edit->setText("Bad\xFF");
  journal.clear();
  press(400, 98);
  ASSERT_TRUE(Headless::textFieldShown(window, &field));
  EXPECT_EQ(field.text, "Bad\xEF\xBF\xBD");
  Headless::pressTextFieldKey(window, Headless::TextFieldKey::kReturn);
  EXPECT_STREQ(edit->getText(), "Bad\xFF");
  EXPECT_EQ(journal.lines, (Lines{"begin 102", "end 102"}));
}

TEST_F(ControlsTest, ClosingTheFrameMidEditTearsTheBoxDownAndCommitsNothing) {
  add(new CTextEdit(CRect(316, 90, 488, 106), &journal, 102, "Name"));
  press(400, 98);
  Headless::typeIntoTextField(window, "Typed");
  journal.clear();
  frame->forget();
  frame = nullptr;
  EXPECT_EQ(journal.lines, (Lines{"end 102"})) << "the gesture ends, nothing is committed";
}

TEST_F(ControlsTest, MenuLaysOutColumnsCountsSeparatorsAndReportsTheChosenIndex) {
  auto* menu = add(new COptionMenu(CRect(297, 112, 313, 128), &journal, 105));
  menu->setNbItemsPerColumn(26);
  for (const char* title : {"Save Preset...", "Load Preset...", "Save Bank...", "Load Bank...", "-"})
    menu->addEntry(title);
  for (int p = 1; p <= 99; ++p) menu->addEntry(("Program " + std::to_string(p)).c_str());
  ASSERT_EQ(menu->getNbEntries(), 104);
  EXPECT_TRUE(menu->getEntry(4)->isSeparator());

  Headless::queuePopupAnswer(29);
  press(300, 120);
  ASSERT_EQ(Headless::popupsShown().size(), 1u);
  const Headless::PopupRecord& shown = Headless::popupsShown().back();
  EXPECT_EQ(shown.where, CPoint(297, 128)) << "below the button";
  std::vector<int> breaks;
  for (std::size_t i = 0; i < shown.items.size(); ++i)
    if (shown.items[i].columnBreak) breaks.push_back(static_cast<int>(i) + 1);
  EXPECT_EQ(breaks, (std::vector<int>{27, 53, 79}));
  EXPECT_TRUE(shown.items[4].separator);
  EXPECT_EQ(shown.items[29].title, "Program 25");
  EXPECT_EQ(shown.items[29].id, 29);
  EXPECT_EQ(journal.lines, (Lines{"begin 105", "change 105", "end 105"}));
  EXPECT_EQ(journal.values, (std::vector<float>{29.0f}));
  EXPECT_EQ(frame->getFocusView(), nullptr);

  journal.clear();
  press(300, 120);  // dismissed: nothing reported, the gesture ends
  EXPECT_EQ(journal.lines, (Lines{"begin 105", "end 105"}));

  // 160 items or more: one long column whatever the setting.
  for (int p = 0; p < 56; ++p) menu->addEntry("More");
  press(300, 120);
  for (const auto& item : Headless::popupsShown().back().items) EXPECT_FALSE(item.columnBreak);
}

TEST_F(ControlsTest, SubmenusTakeTheNextIdentifiersAndAClosingFrameEndsThePopup) {
  auto* menu = add(new COptionMenu(CRect(297, 112, 313, 128), &journal, 105));
  auto* sub = new COptionMenu(CRect(0, 0, 0, 0), nullptr, 0);
  for (int i = 0; i < 3; ++i) sub->addEntry("Inner");
  menu->addEntry("First");
  menu->addEntry(sub, "Sub");
  menu->addEntry("Last");
  sub->forget();
  Headless::queuePopupAnswer(4);  // the top menu has 0..2, the submenu 3..5
  press(300, 120);
  EXPECT_EQ(Headless::popupsShown().back().items[1].submenu[1].id, 4);
  EXPECT_EQ(menu->getLastItemMenu(), sub);
  EXPECT_FLOAT_EQ(sub->getValue(), 1.0f);
  EXPECT_EQ(journal.lines, (Lines{"begin 105", "change 0", "end 105"})) << "told with the menu holding the item";

  // The host closes the editor while the popup is open.
  journal.clear();
  Headless::setPopupAction([this](const std::vector<Platform::PopupMenuItem>&) {
    frame->forget();
    frame = nullptr;
    return 0;
  });
  press(300, 120);
  EXPECT_EQ(frame, nullptr);
  EXPECT_EQ(Headless::popupsCancelled(), 1);
  EXPECT_EQ(journal.lines, (Lines{"begin 105", "end 105"})) << "no choice after the frame is gone";
}

TEST_F(ControlsTest, SplashScreenIsModalUntilItsPictureIsClicked) {
  auto* knob = add(new CKnob(CRect(64, 80, 128, 144), &journal, 0, nullptr, nullptr));
  CBitmap* picture = new CBitmap("Background");
  auto* splash = add(new CSplashScreen(CRect(40, 16, 128, 40), &journal, 101, picture, CRect(0, 0, 856, 392)));
  picture->forget();

  press(60, 20, kKeyStateRButton);
  EXPECT_EQ(frame->getModalView(), nullptr);
  press(60, 20);
  EXPECT_EQ(frame->getModalView(), splash->getSplashView());
  EXPECT_EQ(journal.values, (std::vector<float>{1.0f}));
  settle();
  EXPECT_EQ(Headless::pixel(window, 100, 100), 0xFF646480u) << "the picture covers the editor";

  journal.clear();
  press(96, 112);  // on the knob under the picture
  EXPECT_FLOAT_EQ(knob->getValue(), 0.0f);
  EXPECT_EQ(journal.values, (std::vector<float>{0.0f}));
  EXPECT_EQ(journal.lines, (Lines{"change 101"})) << "the click hid the picture and reached nothing else";
  EXPECT_EQ(frame->getModalView(), nullptr);
  EXPECT_FLOAT_EQ(splash->getValue(), 0.0f);
}
