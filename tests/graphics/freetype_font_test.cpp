// The native text: every draw flag checked by the ink it leaves on a black
// bitmap, against truths worked out independently (the box's edges and
// centre, the colour, the alpha, the faces' relative widths).
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "graphics/freetype_font.h"
#include "graphics/gdi_font.h"
#include "graphics/memory_bitmap.h"

namespace {

constexpr uint32_t kBlack = 0xFF000000u;
constexpr BitmapRect kBox{20, 10, 220, 40};

struct Ink {
  int left = 1 << 30;
  int right = -1;  // exclusive
  int top = 1 << 30;
  int bottom = -1;
  int pixels = 0;
  uint32_t brightest = kBlack;  // by the sum of its channels
  int firstRowLeft = -1;        // the leftmost ink of the top and bottom inked rows
  int lastRowLeft = -1;
};

int Sum(uint32_t p) {
  return static_cast<int>(((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF));
}

Ink Draw(FreeTypeFont& font, const char* text, uint32_t colour, uint32_t flags) {
  MemoryBitmap bitmap(240, 60, 4);
  std::fill(bitmap.GetBits(), bitmap.GetBits() + bitmap.GetRowSpan() * 60, kBlack);
  font.DrawString(&bitmap, text, kBox, colour, flags);
  Ink ink;
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 240; ++x) {
      const uint32_t p = bitmap.GetBits()[y * bitmap.GetRowSpan() + x];
      if (p == kBlack) continue;
      ink.left = std::min(ink.left, x);
      ink.right = std::max(ink.right, x + 1);
      ink.top = std::min(ink.top, y);
      ink.bottom = std::max(ink.bottom, y + 1);
      ++ink.pixels;
      if (Sum(p) > Sum(ink.brightest)) ink.brightest = p;
    }
  }
  const auto leftmost = [&bitmap](int y) {
    for (int x = 0; x < 240; ++x) {
      if (bitmap.GetBits()[y * bitmap.GetRowSpan() + x] != kBlack) return x;
    }
    return -1;
  };
  if (ink.pixels > 0) {
    ink.firstRowLeft = leftmost(ink.top);
    ink.lastRowLeft = leftmost(ink.bottom - 1);
  }
  return ink;
}

std::unique_ptr<FreeTypeFont> Make(const char* face, bool bold = false, bool italic = false,
                                   bool antialiased = true) {
  return std::unique_ptr<FreeTypeFont>(FreeTypeFont::Create(face, 15, bold, italic, antialiased));
}

TEST(FreeTypeFont, WindowsFacesFindTheirMetricTwins) {
  const struct {
    const char* face;
    bool bold;
    bool italic;
    const char* file;
  } cases[] = {
      {"Arial", false, false, "LiberationSans-Regular"},
      {"Arial", true, false, "LiberationSans-Bold"},
      {"Arial", false, true, "LiberationSans-Italic"},
      {"Verdana", false, false, "DejaVuSans."},
  };
  for (const auto& c : cases) {
    auto font = Make(c.face, c.bold, c.italic);
    ASSERT_NE(font, nullptr) << c.face;
    EXPECT_NE(font->File().find(c.file), std::string::npos) << c.face << ": " << font->File();
  }
  // The cell height is the size asked for, as GDI's positive heights are.
  EXPECT_EQ(Make("Arial")->LineHeight(), 15);
  EXPECT_EQ(FreeTypeFont::Create("Arial", 0, false, false, true), nullptr);
}

TEST(FreeTypeFont, AlignmentColourAndAlphaFollowTheFlags) {
  auto font = Make("Arial");
  const char* text = "Step 5 time: 75%";
  const int width = font->LineWidth(text, 16);
  ASSERT_GT(width, 60);
  const Ink left = Draw(*font, text, 0xFFFFFFFF, kTextNoClip);
  const Ink centre = Draw(*font, text, 0xFFFFFFFF, kTextNoClip | kTextCentre);
  const Ink right = Draw(*font, text, 0xFFFFFFFF, kTextNoClip | kTextRight);
  // Ink starts within a pixel or two of the pen (the side bearing).
  EXPECT_NEAR(left.left, kBox.left, 2);
  EXPECT_NEAR(right.right, kBox.right, 2);
  EXPECT_EQ(centre.left - left.left, (kBox.right - kBox.left - width) / 2);
  EXPECT_EQ(right.left - left.left, kBox.right - kBox.left - width);
  // Top-aligned: the capitals start below the box's top, inside the cell.
  EXPECT_GE(left.top, kBox.top);
  EXPECT_LE(left.bottom, kBox.top + 15 + 1);
  EXPECT_EQ(left.brightest, 0xFFFFFFFFu);  // full coverage gives the colour itself
  // Vertical centring moves the line down by half the spare height.
  const Ink middle = Draw(*font, text, 0xFFFFFFFF, kTextNoClip | kTextVCentre);
  EXPECT_EQ(middle.top - left.top, (30 - 15) / 2);

  // The colour's alpha applies only with kTextUseColourAlpha: 50 % of 200.
  const Ink opaque = Draw(*font, text, 0x8000C800, kTextNoClip);
  const Ink faded = Draw(*font, text, 0x8000C800, kTextNoClip | kTextUseColourAlpha);
  EXPECT_EQ((opaque.brightest >> 8) & 0xFF, 200u);
  EXPECT_NEAR(static_cast<int>((faded.brightest >> 8) & 0xFF), 100, 1);
  EXPECT_EQ(Draw(*font, text, 0x00FFFFFF, kTextUseColourAlpha).pixels, 0);
}

TEST(FreeTypeFont, BoldWidensItalicLeansAndClippingHolds) {
  const char* text = "Tie steps locked";
  const int regular = Make("Arial")->LineWidth(text, 16);
  EXPECT_GT(Make("Arial", true)->LineWidth(text, 16), regular);
  // The italic stroke leans right: its top starts right of its foot; the
  // upright one's does not.
  const Ink straight = Draw(*Make("Arial"), "l", 0xFFFFFFFF, kTextNoClip);
  const Ink slanted = Draw(*Make("Arial", false, true), "l", 0xFFFFFFFF, kTextNoClip);
  EXPECT_EQ(straight.firstRowLeft, straight.lastRowLeft);
  EXPECT_GT(slanted.firstRowLeft, slanted.lastRowLeft);
  // Without kTextNoClip nothing leaves the box, even text far wider than it.
  auto font = Make("Arial");
  const Ink clipped = Draw(*font, "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", 0xFFFFFFFF, 0);
  EXPECT_EQ(clipped.right, kBox.right);
  EXPECT_GE(clipped.left, kBox.left);
  // Without anti-aliasing every inked pixel is the full colour.
  auto mono = Make("Arial", false, false, false);
  MemoryBitmap bitmap(240, 60, 4);
  std::fill(bitmap.GetBits(), bitmap.GetBits() + bitmap.GetRowSpan() * 60, kBlack);
  mono->DrawString(&bitmap, text, kBox, 0xFFFFFFFF, kTextNoClip);
  int partial = 0;
  for (int i = 0; i < bitmap.GetRowSpan() * 60; ++i) {
    const uint32_t p = bitmap.GetBits()[i];
    partial += p != kBlack && p != 0xFFFFFFFFu ? 1 : 0;
  }
  EXPECT_EQ(partial, 0);
}

}  // namespace
