// Geometry, colour conversion, reference counting and text conversion: the value
// types every other toolkit part builds on.
#include <gtest/gtest.h>

#include "toolkit/textconvert.h"
#include "toolkit/vstguibase.h"

using namespace VSTGUI;

TEST(Geometry, EdgesAreInside) {
  const CRect r(10, 20, 100, 200);
  EXPECT_TRUE(r.pointInside({10, 20}));
  EXPECT_TRUE(r.pointInside({100, 200}));  // right and bottom edges count
  EXPECT_TRUE(r.pointInside({100, 20}));
  EXPECT_FALSE(r.pointInside({101, 50}));
  EXPECT_FALSE(r.pointInside({50, 201}));
  EXPECT_FALSE(r.pointInside({9, 50}));
  EXPECT_EQ(r.width(), 90);
  EXPECT_EQ(r.height(), 180);
}

TEST(Geometry, RectanglesSharingAnEdgeOverlap) {
  const CRect a(0, 0, 10, 10);
  EXPECT_TRUE(a.rectOverlap(CRect(10, 0, 20, 10)));
  EXPECT_TRUE(a.rectOverlap(CRect(0, 10, 10, 20)));
  EXPECT_TRUE(a.rectOverlap(CRect(10, 10, 20, 20)));
  EXPECT_FALSE(a.rectOverlap(CRect(11, 0, 20, 10)));
  EXPECT_FALSE(a.rectOverlap(CRect(0, 11, 10, 20)));
}

TEST(Geometry, BoundNeverGoesNegative) {
  CRect r(10, 10, 20, 20);
  r.bound(CRect(30, 30, 40, 40));
  EXPECT_EQ(r.width(), 0);
  EXPECT_EQ(r.height(), 0);
  EXPECT_TRUE(r.isEmpty());

  CRect s(0, 0, 50, 50);
  s.bound(CRect(10, 20, 30, 100));
  EXPECT_EQ(s, CRect(10, 20, 30, 50));
}

TEST(Geometry, NormalizeAndOffset) {
  CRect r(20, 30, 10, 5);
  r.normalize();
  EXPECT_EQ(r, CRect(10, 5, 20, 30));
  r.offset(-10, 5);
  EXPECT_EQ(r, CRect(0, 10, 10, 35));
  r.moveTo(100, 100);
  EXPECT_EQ(r, CRect(100, 100, 110, 125));
}

TEST(Colour, ArgbLayoutAndConstants) {
  EXPECT_EQ(toArgb(CColor{0x12, 0x34, 0x56, 0x78}), 0x78123456u);
  EXPECT_EQ(toArgb(kTransparentCColor), 0x00FFFFFFu);
  EXPECT_EQ(toArgb(kGreyCColor), 0xFF7F7F7Fu);
  EXPECT_EQ(kLButton | kRButton | kShift | kControl | kAlt | kApple, 2 + 8 + 16 + 32 + 64 + 128);
  EXPECT_EQ(kDoubleClick, 1024);
}

namespace {

class Counted : public CBaseObject {
 public:
  explicit Counted(int* deleted) : deleted(deleted) {}
  ~Counted() override { ++*deleted; }
  int* deleted;
};

}  // namespace

TEST(BaseObject, DeletedAtTheLastForget) {
  int deleted = 0;
  auto* object = new Counted(&deleted);
  EXPECT_EQ(object->getNbReference(), 1);
  object->remember();
  object->forget();
  EXPECT_EQ(deleted, 0);
  EXPECT_EQ(object->getNbReference(), 1);
  object->forget();
  EXPECT_EQ(deleted, 1);
}

TEST(BaseObject, NotifyKnowsNoMessage) {
  int deleted = 0;
  auto* object = new Counted(&deleted);
  EXPECT_EQ(object->notify(nullptr, kMsgCheckIfViewContainer), kMessageUnknown);
  object->forget();
}

TEST(TextConversion, RoundTripsAndRejectsIllFormedText) {
  const std::string text = "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC \xF0\x9F\x8E\xB9";
  const std::u16string wide = utf8ToUtf16(text);
  EXPECT_EQ(wide.size(), 10u);  // the emoji needs a surrogate pair
  EXPECT_EQ(utf16ToUtf8(wide), text);
  EXPECT_TRUE(utf8ToUtf16("\xC3").empty());           // truncated sequence
  EXPECT_TRUE(utf8ToUtf16("a\x80" "b").empty());      // stray continuation byte
  EXPECT_TRUE(utf8ToUtf16("\xC0\xAF").empty());       // overlong form
  EXPECT_TRUE(utf8ToUtf16("\xED\xA0\x80").empty());   // encoded surrogate
  EXPECT_TRUE(utf16ToUtf8(std::u16string(1, char16_t(0xD800))).empty());
}

TEST(TextConversion, RandomBytesNeverCrash) {
  std::uint32_t seed = 12345;
  for (int i = 0; i < 2000; ++i) {
    std::string bytes;
    const int n = static_cast<int>(seed % 16);
    for (int k = 0; k < n; ++k) {
      seed = seed * 1664525u + 1013904223u;
      bytes.push_back(static_cast<char>(seed >> 24));
    }
    seed = seed * 1664525u + 1013904223u;
    const std::u16string wide = utf8ToUtf16(bytes);
    if (!wide.empty()) {
      EXPECT_EQ(utf16ToUtf8(wide), bytes);
    }
  }
}
