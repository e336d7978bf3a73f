// Reference counting and text conversion, which every other toolkit part builds on.
// (Geometry and colours are proven through the views' hit tests and drawn pixels.)
#include <gtest/gtest.h>

#include "toolkit/textconvert.h"
#include "toolkit/vstguibase.h"

using namespace VSTGUI;

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
