// Drawing on real pixels: rectangle edges, line end points, text placement, film
// strip source offsets, alpha blits, PNG decoding and conversion, clipping with
// offsets through nested and offscreen containers, and the paint paths of the frame.
// The pictures come from data/ (see data/make_images.py).
#include <gtest/gtest.h>

#include <climits>

#include "tests/toolkit/toolkit_test_util.h"

using namespace VSTGUI;
using namespace toolkit_test;

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
constexpr std::uint32_t kBlack = 0xFF000000u;
constexpr std::uint32_t kRed = 0xFFFF0000u;

/// An offscreen context over a white image of w x h.
struct Canvas {
  explicit Canvas(int w = 64, int h = 64) : context(new COffscreenContext(nullptr, w, h)) {
    context->setFillColor(kWhiteCColor);
    context->fillRect(CRect(0, 0, w, h));
  }
  ~Canvas() { context->forget(); }
  std::uint32_t at(int x, int y) const {
    return Headless::imagePixel(context->getBitmap()->getPlatformImage(), x, y);
  }
  /// Rows and columns where the pixel differs from white.
  CRect ink(const CRect& area) const {
    CRect box(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x)
        if (at(x, y) != kWhite) {
          box.left = std::min(box.left, x);
          box.top = std::min(box.top, y);
          box.right = std::max(box.right, x);
          box.bottom = std::max(box.bottom, y);
        }
    return box;
  }
  COffscreenContext* context;
};

}  // namespace

TEST(Drawing, StrokedRectangleLiesOnTheFirstAndLastRowsAndColumns) {
  Canvas canvas;
  canvas.context->setFrameColor(kBlackCColor);
  canvas.context->drawRect(CRect(10, 10, 20, 20), kDrawStroked);
  EXPECT_EQ(canvas.ink(CRect(0, 0, 64, 64)), CRect(10, 10, 19, 19));
  for (int i = 10; i < 20; ++i) {
    EXPECT_EQ(canvas.at(i, 10), kBlack);
    EXPECT_EQ(canvas.at(i, 19), kBlack);
    EXPECT_EQ(canvas.at(10, i), kBlack);
    EXPECT_EQ(canvas.at(19, i), kBlack);
  }
  EXPECT_EQ(canvas.at(11, 11), kWhite);
  EXPECT_EQ(canvas.at(18, 18), kWhite);
}

TEST(Drawing, FillCoversTheRectangleExactlyWhateverItsEdgeOrder) {
  Canvas one, other;
  one.context->setFillColor(kRedCColor);
  other.context->setFillColor(kRedCColor);
  one.context->fillRect(CRect(10, 10, 20, 20));
  other.context->fillRect(CRect(20, 20, 10, 10));
  EXPECT_EQ(one.ink(CRect(0, 0, 64, 64)), CRect(10, 10, 19, 19));
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) ASSERT_EQ(one.at(x, y), other.at(x, y)) << x << "," << y;
  EXPECT_EQ(one.at(15, 15), kRed);
}

TEST(Drawing, FilledAndStrokedFillsFirstAndTheOffsetMovesEverything) {
  Canvas canvas;
  canvas.context->setOffset(CPoint(5, 7));
  canvas.context->setFillColor(kRedCColor);
  canvas.context->setFrameColor(kBlackCColor);
  canvas.context->drawRect(CRect(0, 0, 10, 10), kDrawFilledAndStroked);
  EXPECT_EQ(canvas.ink(CRect(0, 0, 64, 64)), CRect(5, 7, 14, 16));
  EXPECT_EQ(canvas.at(5, 7), kBlack);
  EXPECT_EQ(canvas.at(9, 11), kRed);
  CRect clip;
  EXPECT_EQ(canvas.context->getClipRect(clip), CRect(-5, -7, 59, 57)) << "the clip minus the offset";
}

TEST(Drawing, LinesIncludeBothEndPoints) {
  Canvas canvas;
  canvas.context->setFrameColor(kBlackCColor);
  canvas.context->moveTo(CPoint(5, 30));
  canvas.context->lineTo(CPoint(40, 30));
  EXPECT_EQ(canvas.ink(CRect(0, 0, 64, 64)), CRect(5, 30, 40, 30));
  CPoint pen;
  canvas.context->getLoc(pen);
  EXPECT_EQ(pen, CPoint(40, 30));
}

TEST(Drawing, ContextWithoutSurfaceClipsTo1000AndDrawsNothing) {
  CDrawContext* context = new CDrawContext(nullptr, nullptr, nullptr);
  CRect clip;
  EXPECT_EQ(context->getClipRect(clip), CRect(0, 0, 1000, 1000));
  EXPECT_EQ(context->getStringWidth("abc"), -1);
  context->drawRect(CRect(0, 0, 10, 10));
  context->drawString("abc", CRect(0, 0, 50, 20));
  EXPECT_EQ(context->getFrameColor(), kWhiteCColor);
  EXPECT_EQ(context->getFillColor(), kBlackCColor);
  EXPECT_EQ(context->getFontColor(), kWhiteCColor);
  EXPECT_EQ(context->getFont(), kSystemFont);
  EXPECT_EQ(context->getLineWidth(), 1);
  context->forget();
}

TEST(Fonts, SetFontSharesOrCopiesTheDescriptor) {
  CDrawContext* context = new CDrawContext(nullptr, nullptr, nullptr);
  const int before = kNormalFont->getNbReference();
  context->setFont(kNormalFont, 0, -1);
  EXPECT_EQ(context->getFont(), kNormalFont);
  EXPECT_EQ(kNormalFont->getNbReference(), before + 1);
  context->setFont(kNormalFont, 14);
  EXPECT_NE(context->getFont(), kNormalFont);
  EXPECT_EQ(context->getFont()->getSize(), 14);
  EXPECT_STREQ(context->getFont()->getName(), "Arial");
  EXPECT_EQ(kNormalFont->getNbReference(), before);
  context->setFont(kNormalFont, 12, kBoldFace);
  EXPECT_EQ(context->getFont()->getStyle(), kBoldFace);
  context->forget();
  EXPECT_EQ(kNormalFont->getNbReference(), before);
}

TEST(Text, StringInARectangleSitsOnItsLineAndAlignsRight) {
  Canvas canvas(200, 40);
  canvas.context->setFont(kNormalFont);  // 12 pixels
  canvas.context->setFontColor(kBlackCColor);
  const CRect box(20, 10, 180, 26);  // 16 pixels high
  canvas.context->drawString("HHH", box, kRightText, false);
  const CRect ink = canvas.ink(CRect(0, 0, 200, 40));
  ASSERT_LT(ink.left, ink.right) << "something was drawn";
  // The line's bottom is at bottom - 3 = 23; capitals end on the baseline above the descent.
  EXPECT_LE(ink.bottom, 26 - 3);
  EXPECT_GE(ink.bottom, 26 - 6);
  EXPECT_GE(ink.top, 10);
  const CCoord width = canvas.context->getStringWidth("HHH");
  EXPECT_GT(width, 15);
  EXPECT_LE(ink.right, 179);
  EXPECT_GE(ink.right, 180 - 3);
  EXPECT_GE(ink.left, 180 - width - 1);
}

TEST(Text, CentredTextIsCentredAndClippedToItsRectangle) {
  Canvas canvas(200, 40);
  canvas.context->setFont(kNormalFont);
  canvas.context->setFontColor(kBlackCColor);
  canvas.context->drawString("HHHH", CRect(50, 10, 150, 26), kCenterText);
  const CRect ink = canvas.ink(CRect(0, 0, 200, 40));
  const int middle = (ink.left + ink.right) / 2;
  EXPECT_NEAR(middle, 100, 2);
  Canvas narrow(200, 40);
  narrow.context->setFont(kNormalFont);
  narrow.context->setFontColor(kBlackCColor);
  narrow.context->drawString("WWWWWWWWWWWW", CRect(90, 10, 110, 26), kCenterText);
  const CRect clipped = narrow.ink(CRect(0, 0, 200, 40));
  EXPECT_GE(clipped.left, 90);
  EXPECT_LE(clipped.right, 109);
  CRect clip;
  EXPECT_EQ(narrow.context->getClipRect(clip), CRect(0, 0, 200, 40)) << "the clip is restored";
}

TEST(Text, StringAtAPointHasItsLineBottomThere) {
  Canvas canvas(100, 40);
  canvas.context->setFont(kNormalFontBig);
  canvas.context->setFontColor(kBlackCColor);
  canvas.context->drawString("Hg", CPoint(10, 30));
  const CRect ink = canvas.ink(CRect(0, 0, 100, 40));
  EXPECT_LE(ink.bottom, 30) << "descenders stay above the line bottom";
  EXPECT_GE(ink.bottom, 27);
  EXPECT_GE(ink.left, 10);
}

// --- bitmaps --------------------------------------------------------------------------------

TEST(Bitmap, FilmStripOffsetSelectsOneImage) {
  CBitmap* strip = new CBitmap(CResourceDescription("Strip"));
  ASSERT_EQ(strip->getWidth(), 64);
  ASSERT_EQ(strip->getHeight(), 6464);
  Canvas canvas(64, 64);
  strip->draw(canvas.context, CRect(0, 0, 64, 64), CPoint(0, 3200));
  EXPECT_EQ(canvas.at(0, 0), kWhite) << "image 50's own corner marker";
  const std::uint32_t image50 = 0xFF000000u | (50u << 16) | (205u << 8) | 100u;
  EXPECT_EQ(canvas.at(1, 0), image50);
  EXPECT_EQ(canvas.at(63, 63), image50);
  EXPECT_EQ(canvas.at(0, 63), image50) << "nothing of image 51";
  strip->forget();
}

TEST(Bitmap, DrawingUsesTheContextOffsetAndNeverScales) {
  CBitmap* strip = new CBitmap(CResourceDescription("strip"));
  Canvas canvas(64, 64);
  canvas.context->setOffset(CPoint(10, 20));
  strip->draw(canvas.context, CRect(0, 0, 8, 8), CPoint(0, 64));
  EXPECT_EQ(canvas.ink(CRect(0, 0, 64, 64)), CRect(10, 20, 17, 27));
  EXPECT_EQ(canvas.at(10, 20), kWhite);
  EXPECT_EQ(canvas.at(11, 20), 0xFF01FE02u);  // image 1
  strip->forget();
}

TEST(Bitmap, AlphaIsComposedOverTheDestination) {
  CBitmap* alpha = new CBitmap(CResourceDescription("ALPHA"));
  ASSERT_EQ(alpha->getWidth(), 64);
  Canvas canvas(64, 64);
  alpha->drawTransparent(canvas.context, CRect(0, 0, 64, 64));
  EXPECT_EQ(canvas.at(5, 5), kRed);
  const std::uint32_t blended = canvas.at(50, 5);  // blue at alpha 128 over white
  EXPECT_NEAR(int((blended >> 16) & 0xFF), 127, 2);
  EXPECT_NEAR(int((blended >> 8) & 0xFF), 127, 2);
  EXPECT_EQ(int(blended & 0xFF), 255);

  Canvas half(64, 64);
  alpha->drawAlphaBlend(half.context, CRect(0, 0, 64, 64), CPoint(), 128);
  const std::uint32_t pink = half.at(5, 5);  // red at half strength over white
  EXPECT_EQ(int((pink >> 16) & 0xFF), 255);
  EXPECT_NEAR(int((pink >> 8) & 0xFF), 127, 2);
  EXPECT_NEAR(int(pink & 0xFF), 127, 2);
  alpha->forget();
}

TEST(Bitmap, OpaquePngsAreConvertedToPremultipliedArgb) {
  CBitmap* rgb = new CBitmap(CResourceDescription("rgb"));
  ASSERT_EQ(rgb->getWidth(), 8);
  ASSERT_TRUE(Platform::isPremultipliedArgb(rgb->getPlatformImage()));
  EXPECT_EQ(Headless::imagePixel(rgb->getPlatformImage(), 0, 0), kBlack);
  EXPECT_EQ(Headless::imagePixel(rgb->getPlatformImage(), 3, 3), 0xFF00FF00u);
  rgb->forget();
}

TEST(Bitmap, MissingResourcesLeaveAnEmptyBitmapThatDrawsNothing) {
  CBitmap* missing = new CBitmap(CResourceDescription("NoSuchPicture"));
  EXPECT_EQ(missing->getWidth(), 0);
  EXPECT_EQ(missing->getHeight(), 0);
  EXPECT_FALSE(missing->loadFromResource(CResourceDescription(1234)));
  Canvas canvas;
  missing->draw(canvas.context, CRect(0, 0, 64, 64));
  EXPECT_EQ(canvas.ink(CRect(0, 0, 64, 64)).left, INT_MAX);
  EXPECT_FALSE(missing->loadFromPath("/tmp/whatever.png"));
  missing->forget();

  CBitmap* strip = new CBitmap(CResourceDescription("strip"));
  EXPECT_FALSE(strip->loadFromPath("/tmp/whatever.png"));
  EXPECT_EQ(strip->getWidth(), 0) << "loading from a path disposes the picture";
  strip->forget();
}

TEST(Bitmap, SharedByReferenceAndFreedWithTheLastView) {
  CBitmap* picture = new CBitmap(CResourceDescription("alpha"));
  CView* first = new CView(CRect(0, 0, 10, 10));
  CView* second = new CView(CRect(0, 0, 10, 10));
  first->setBackground(picture);
  second->setBackground(picture);
  picture->forget();  // the creator lets go; the views hold it
  EXPECT_EQ(picture->getNbReference(), 2);
  CView* copy = first->newCopy();
  EXPECT_EQ(picture->getNbReference(), 3);
  copy->forget();
  first->forget();
  EXPECT_EQ(picture->getNbReference(), 1);
  EXPECT_EQ(second->getBackground(), picture);
  second->forget();
}

TEST(ResourceStreamTest, ReadsAndSeeksOnlyInsideTheResource) {
  auto* stream = new ResourceStream;
  ASSERT_FALSE(stream->open(CResourceDescription("nothing"), "DATA"));
  ASSERT_TRUE(stream->open(CResourceDescription("RGB"), "data"));
  const std::uint32_t size = stream->getSize();
  ASSERT_GT(size, 8u);
  unsigned char header[8];
  std::uint32_t got = 99;
  EXPECT_EQ(stream->read(header, 8, &got), ResourceStream::kOk);
  EXPECT_EQ(got, 8u);
  EXPECT_EQ(header[1], 'P');
  std::vector<unsigned char> rest(size);
  EXPECT_EQ(stream->read(rest.data(), size - 7, &got), ResourceStream::kFalse);
  EXPECT_EQ(got, 0u) << "a read past the end reads nothing";
  EXPECT_EQ(stream->getPosition(), 8u);
  std::uint64_t position = 0;
  EXPECT_EQ(stream->seek(size, ResourceStream::kFromStart, &position), ResourceStream::kFalse);
  EXPECT_EQ(stream->seek(-9, ResourceStream::kFromCurrent, &position), ResourceStream::kFalse);
  EXPECT_EQ(stream->seek(-1, ResourceStream::kFromStart, &position), ResourceStream::kFalse);
  EXPECT_EQ(stream->seek(0, ResourceStream::kFromEnd, &position), ResourceStream::kFalse);
  EXPECT_EQ(stream->seek(0, 7, &position), ResourceStream::kInvalidFunction);
  EXPECT_EQ(stream->seek(-8, ResourceStream::kFromCurrent, &position), ResourceStream::kOk);
  EXPECT_EQ(position, 0u);
  EXPECT_EQ(stream->seek(size - 1, ResourceStream::kFromStart, &position), ResourceStream::kOk);
  EXPECT_EQ(stream->read(header, 1, &got), ResourceStream::kOk);
  stream->revert();
  EXPECT_EQ(stream->getPosition(), 0u);
  EXPECT_EQ(stream->addRef(), 2);
  EXPECT_EQ(stream->release(), 1);
  EXPECT_EQ(stream->release(), 0);
}

// --- clipping through containers --------------------------------------------------------------

namespace {

/// Frame 200 x 200 with a grey background; outer (50, 50)-(150, 150) in blue,
/// inner (10, 10)-(60, 60) inside it in green, and a view at (5, 5)-(25, 25) in inner
/// that paints red far beyond itself. Red may only show at window 65..84.
class ClipScene : public ::testing::Test {
 protected:
  void build(bool outerOffscreen, bool innerOffscreen) {
    frame = new CFrame(CRect(0, 0, 200, 200), fakeParentWindow(), nullptr);
    frame->setBackgroundColor(kGreyCColor);
    outer = new CViewContainer(CRect(50, 50, 150, 150));
    outer->setBackgroundColor(kBlueCColor);
    outer->setDrawInOffscreen(outerOffscreen);
    inner = new CViewContainer(CRect(10, 10, 60, 60));
    inner->setBackgroundColor(kGreenCColor);
    inner->setDrawInOffscreen(innerOffscreen);
    painter = new RecordingView(CRect(5, 5, 25, 25));
    painter->fill = kRedCColor;
    painter->fillArea = CRect(-100, -100, 300, 300);
    inner->addView(painter);
    painter->forget();  // each container owns its child
    outer->addView(inner);
    inner->forget();
    frame->addView(outer);
    window = windowOf(frame);
  }
  void TearDown() override {
    if (frame) frame->forget();
  }
  std::uint32_t at(int x, int y) { return Headless::pixel(window, x, y); }
  void expectScene() {
    EXPECT_EQ(at(40, 100), toArgb(kGreyCColor));
    EXPECT_EQ(at(55, 55), toArgb(kBlueCColor));
    EXPECT_EQ(at(62, 62), toArgb(kGreenCColor));
    EXPECT_EQ(at(64, 70), toArgb(kGreenCColor));
    EXPECT_EQ(at(65, 65), kRed);
    EXPECT_EQ(at(84, 84), kRed);
    EXPECT_EQ(at(85, 84), toArgb(kGreenCColor));
    EXPECT_EQ(at(84, 85), toArgb(kGreenCColor));
    EXPECT_EQ(at(109, 109), toArgb(kGreenCColor));
    EXPECT_EQ(at(110, 110), toArgb(kBlueCColor));
    EXPECT_EQ(at(150, 150), toArgb(kGreyCColor));
  }

  CFrame* frame = nullptr;
  CViewContainer* outer = nullptr;
  CViewContainer* inner = nullptr;
  RecordingView* painter = nullptr;
  Platform::Window* window = nullptr;
};

}  // namespace

TEST_F(ClipScene, NestedContainersClipEachChildToItsRectangle) {
  build(false, false);
  Headless::paint(window, CRect(0, 0, 200, 200));
  expectScene();
}

TEST_F(ClipScene, OffscreenContainersClipTheSameWay) {
  build(true, false);
  Headless::paint(window, CRect(0, 0, 200, 200));
  expectScene();
}

TEST_F(ClipScene, NestedOffscreenContainersClipTheSameWay) {
  build(true, true);
  Headless::paint(window, CRect(0, 0, 200, 200));
  expectScene();
}

TEST_F(ClipScene, AnOffscreenContainerInsideAnOrdinaryOneClipsTheSameWay) {
  build(false, true);
  Headless::paint(window, CRect(0, 0, 200, 200));
  expectScene();
  painter->fill = kYellowCColor;
  Headless::paint(window, CRect(70, 70, 80, 80));
  EXPECT_EQ(at(75, 75), toArgb(kYellowCColor));
  EXPECT_EQ(at(69, 75), kRed);
  EXPECT_EQ(at(80, 80), kRed);
}

TEST_F(ClipScene, APartialPaintTouchesOnlyTheUpdateRectangle) {
  build(false, false);
  Headless::paint(window, CRect(0, 0, 200, 200));
  painter->fill = kYellowCColor;
  Headless::paint(window, CRect(70, 70, 80, 80));
  EXPECT_EQ(at(75, 75), toArgb(kYellowCColor));
  EXPECT_EQ(at(69, 75), kRed);
  EXPECT_EQ(at(80, 75), kRed);
}

TEST_F(ClipScene, TheBackBufferPaintGivesTheSamePixels) {
  Headless::setComposited(false);
  build(false, false);
  Headless::setComposited(true);
  Headless::paint(window, CRect(0, 0, 200, 200));
  expectScene();
  painter->fill = kYellowCColor;
  Headless::paint(window, CRect(70, 70, 80, 80));
  EXPECT_EQ(at(75, 75), toArgb(kYellowCColor));
  EXPECT_EQ(at(69, 75), kRed) << "the rest comes unchanged from the back buffer";
}

TEST_F(ClipScene, ContainerBackgroundBitmapIsDrawnFromItsOffset) {
  build(false, false);
  CBitmap* strip = new CBitmap(CResourceDescription("strip"));
  inner->setBackground(strip);
  inner->setBackgroundOffset(CPoint(0, 64 * 3));
  strip->forget();
  Headless::paint(window, CRect(0, 0, 200, 200));
  EXPECT_EQ(at(60, 60), kWhite) << "image 3's corner marker at the inner top-left";
  EXPECT_EQ(at(62, 62), 0xFF03FC06u);
  EXPECT_EQ(at(65, 65), kRed);
}

TEST_F(ClipScene, TransparentContainerWithOpaqueColourPaintsNoBackground) {
  build(false, false);
  inner->setTransparency(true);
  Headless::paint(window, CRect(0, 0, 200, 200));
  EXPECT_EQ(at(62, 62), toArgb(kBlueCColor)) << "the outer container shows through";
}

TEST(FramePaint, OverlappingChildrenArePaintedInListOrder) {
  CFrame* frame = new CFrame(CRect(0, 0, 100, 100), fakeParentWindow(), nullptr);
  auto* bottom = new RecordingView(CRect(10, 10, 50, 50));
  auto* top = new RecordingView(CRect(30, 30, 70, 70));
  bottom->fill = kRedCColor;
  top->fill = kBlueCColor;
  frame->addView(bottom);
  frame->addView(top);
  bottom->forget();
  top->forget();
  Headless::paint(windowOf(frame), CRect(0, 0, 100, 100));
  EXPECT_EQ(Headless::pixel(windowOf(frame), 20, 20), kRed);
  EXPECT_EQ(Headless::pixel(windowOf(frame), 40, 40), toArgb(kBlueCColor)) << "the later child on top";
  EXPECT_EQ(Headless::pixel(windowOf(frame), 60, 60), toArgb(kBlueCColor));
  frame->forget();
}

TEST(FramePaint, BackgroundBitmapFillsTheFrame) {
  CFrame* frame = new CFrame(CRect(0, 0, 856, 392), fakeParentWindow(), nullptr);
  CBitmap* background = new CBitmap(CResourceDescription("Background"));
  frame->setBackground(background);
  background->forget();
  frame->idle();
  EXPECT_TRUE(Headless::paint(windowOf(frame)));
  EXPECT_EQ(Headless::pixel(windowOf(frame), 300, 100), 0xFF000000u | (44u << 16) | (100u << 8) | 128u);
  EXPECT_EQ(Headless::pixel(windowOf(frame), 855, 391), 0xFF000000u | (87u << 16) | (135u << 8) | 128u);
  if (const char* dir = std::getenv("ZYNKA_TOOLKIT_PNG_DIR")) {
    EXPECT_TRUE(Headless::savePng(windowOf(frame), (std::string(dir) + "/frame.png").c_str()));
  }
  frame->forget();
}
