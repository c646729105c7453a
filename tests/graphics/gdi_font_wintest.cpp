#include "graphics/gdi_font.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "graphics/blit.h"
#include "graphics/memory_bitmap.h"
#include "graphics/system_bitmap.h"
#include "graphics/wine_probe.h"

namespace {

// Fonts are substituted under Wine, so these tests assert only properties
// that hold for any face: where ink lands and what colour it has.
std::unique_ptr<GdiFont> MakeFont(int height, int quality, int32_t flags = 0x600) {
  HFONT handle = CreateFontA(height, 0, 0, 0, 700, FALSE, FALSE, FALSE, 0, 0, 0,
                             static_cast<DWORD>(quality), 0, "Arial");
  if (handle == nullptr) return nullptr;
  auto font = std::make_unique<GdiFont>();
  font->SetFromHFont(handle, flags);
  return font;
}

struct Ink {
  int count = 0;
  int outside = 0;
  int maxRed = 0;
  bool allOnColourLine = true;  // red >= green >= blue, as for the colours used
};

// Looks at every pixel that differs from the background.
Ink InkOf(Bitmap& bitmap, Pixel background, const BitmapRect& rect) {
  Ink ink;
  Pixel* bits = bitmap.GetBits();
  for (int32_t y = 0; y < bitmap.GetHeight(); ++y) {
    for (int32_t x = 0; x < bitmap.GetWidth(); ++x) {
      Pixel p = bits[y * bitmap.GetRowSpan() + x];
      if (p == background) continue;
      ++ink.count;
      if (x < rect.left || x >= rect.right || y < rect.top || y >= rect.bottom) ++ink.outside;
      ink.maxRed = std::max(ink.maxRed, PixelRed(p));
      if (!(PixelRed(p) >= PixelGreen(p) && PixelGreen(p) >= PixelBlue(p))) ink.allOnColourLine = false;
    }
  }
  return ink;
}

TEST(GdiFont, WineIsDetected) { EXPECT_TRUE(RunningUnderWine()); }

TEST(GdiFont, GlyphPathInksInsideTheRectInTheTextColour) {
  auto font = MakeFont(30, ANTIALIASED_QUALITY);
  ASSERT_NE(font, nullptr);
  EXPECT_GT(font->GetLineHeight(), 20);
  font->SetTextColour(0xFFC86432u);
  MemoryBitmap bitmap(200, 60, 4);
  FillRect(&bitmap, 0, 0, 200, 60, 0u, 1.0f, kBlendCopy);
  BitmapRect rect{10, 10, 190, 50};
  int32_t height = font->DrawString(&bitmap, "HHIH", -1, &rect, kTextForceGlyphs);
  EXPECT_EQ(height, font->GetLineHeight());
  Ink ink = InkOf(bitmap, 0u, rect);
  EXPECT_GT(ink.count, 50);
  EXPECT_EQ(ink.outside, 0);
  EXPECT_EQ(ink.maxRed, 200);  // solid stems take the colour exactly
  EXPECT_TRUE(ink.allOnColourLine);
}

TEST(GdiFont, UnderWineTheGlyphPathServesFontsThatPreferGdi) {
  auto font = MakeFont(24, ANTIALIASED_QUALITY);
  ASSERT_NE(font, nullptr);
  font->SetTextColour(0xFFC86432u);
  SystemBitmap viaProbe(160, 40);
  SystemBitmap forced(160, 40);
  FillRect(&viaProbe, 0, 0, 160, 40, 0u, 1.0f, kBlendCopy);
  FillRect(&forced, 0, 0, 160, 40, 0u, 1.0f, kBlendCopy);
  BitmapRect rect{0, 0, 160, 40};
  font->DrawString(&viaProbe, "Gate 1/4", -1, &rect, kTextNoClip | kTextCentre);
  font->DrawString(&forced, "Gate 1/4", -1, &rect, kTextNoClip | kTextCentre | kTextForceGlyphs);
  GdiFlush();
  int differing = 0;
  int inked = 0;
  for (int32_t y = 0; y < 40; ++y) {
    for (int32_t x = 0; x < 160; ++x) {
      Pixel a = viaProbe.GetBits()[y * viaProbe.GetRowSpan() + x];
      differing += a != forced.GetBits()[y * forced.GetRowSpan() + x];
      inked += a != 0;
    }
  }
  EXPECT_EQ(differing, 0);
  EXPECT_GT(inked, 30);
}

TEST(GdiFont, ColourAlphaBelowOpaqueBlendsWithThatAlpha) {
  auto font = MakeFont(30, ANTIALIASED_QUALITY);
  ASSERT_NE(font, nullptr);
  font->SetTextColour(0x80C86432u);
  MemoryBitmap bitmap(200, 60, 4);
  FillRect(&bitmap, 0, 0, 200, 60, 0u, 1.0f, kBlendCopy);
  BitmapRect rect{10, 10, 190, 50};
  font->DrawString(&bitmap, "HHIH", -1, &rect, kTextUseColourAlpha | kTextNoClip);
  Ink ink = InkOf(bitmap, 0u, BitmapRect{0, 0, 200, 60});
  EXPECT_GT(ink.count, 50);
  // Weight 128 * 255 / 256 = 127 on a full pixel: 200 - 200 * 129 / 256 = 100.
  EXPECT_EQ(ink.maxRed, 100);
  EXPECT_TRUE(ink.allOnColourLine);
  // Fully transparent text draws nothing.
  font->SetTextColour(0x00FFFFFFu);
  MemoryBitmap clean(50, 50, 4);
  FillRect(&clean, 0, 0, 50, 50, 0u, 1.0f, kBlendCopy);
  BitmapRect small{0, 0, 50, 50};
  EXPECT_EQ(font->DrawString(&clean, "H", -1, &small, kTextUseColourAlpha), 0);
  EXPECT_EQ(InkOf(clean, 0u, small).count, 0);
}

TEST(GdiFont, GdiPathForTallFontsWithAndWithoutDeviceContext) {
  // A line height above 255 always goes through GDI, even under Wine.
  auto font = MakeFont(300, NONANTIALIASED_QUALITY);
  ASSERT_NE(font, nullptr);
  ASSERT_GT(font->GetLineHeight(), 255);
  font->SetTextColour(0xFFC86432u);
  BitmapRect rect{20, 10, 380, 330};
  SystemBitmap withDc(400, 340);
  FillRect(&withDc, 0, 0, 400, 340, 0u, 1.0f, kBlendCopy);
  font->DrawString(&withDc, "I", -1, &rect, 0);
  GdiFlush();
  MemoryBitmap withoutDc(400, 340, 4);
  FillRect(&withoutDc, 0, 0, 400, 340, 0u, 1.0f, kBlendCopy);
  font->DrawString(&withoutDc, "I", -1, &rect, 0);
  for (Bitmap* bitmap : {static_cast<Bitmap*>(&withDc), static_cast<Bitmap*>(&withoutDc)}) {
    Ink ink = InkOf(*bitmap, 0u, rect);
    EXPECT_GT(ink.count, 500);
    EXPECT_EQ(ink.outside, 0);
    EXPECT_EQ(ink.maxRed, 200);
    // Not anti-aliased: every inked pixel has exactly the text colour.
    for (int32_t y = 0; y < 340; ++y) {
      for (int32_t x = 0; x < 400; ++x) {
        Pixel p = bitmap->GetBits()[y * bitmap->GetRowSpan() + x];
        if (p != 0) {
          ASSERT_EQ(p & 0x00FFFFFFu, 0xC86432u) << x << "," << y;
        }
      }
    }
  }
  BitmapRect measured{0, 0, 1000, 1000};
  EXPECT_GT(font->DrawString(nullptr, "I", -1, &measured, kTextMeasureOnly), 255);
  EXPECT_GT(measured.right, 0);
}

// Draws text with the glyph path into a fresh bitmap and returns its pixels.
std::vector<Pixel> Render(GdiFont& font, const char* text, uint32_t flags) {
  MemoryBitmap bitmap(160, 80, 4);
  FillRect(&bitmap, 0, 0, 160, 80, 0u, 1.0f, kBlendCopy);
  BitmapRect rect{0, 0, 160, 80};
  font.DrawString(&bitmap, text, -1, &rect, flags | kTextForceGlyphs);
  return std::vector<Pixel>(bitmap.GetBits(), bitmap.GetBits() + 160 * 80);
}

TEST(GdiFont, LineEndsSpacesAndUtf8) {
  auto font = MakeFont(18, ANTIALIASED_QUALITY);
  ASSERT_NE(font, nullptr);
  font->SetTextColour(0xFFFFFFFFu);
  EXPECT_EQ(Render(*font, "ab\r\ncd", 0), Render(*font, "ab\ncd", 0));
  EXPECT_NE(Render(*font, "ab\ncd", 0), Render(*font, "ab cd", 0));
  EXPECT_EQ(Render(*font, "ab\ncd", kTextSingleLine), Render(*font, "ab cd", kTextSingleLine));
  EXPECT_EQ(Render(*font, "a\xF0\x9F\x98\x80" "b", 0), Render(*font, "a b", 0));
  // A two-byte sequence is one character, not two.
  EXPECT_NE(Render(*font, "\xC3\xA9", 0), Render(*font, "\xC3", 0));

  BitmapRect rect{5, 5, 5, 5};
  EXPECT_EQ(font->DrawString(nullptr, "ab", -1, &rect, 0), 0);
  int32_t twoLines = font->DrawString(nullptr, "ab\ncd", -1, &rect, kTextMeasureOnly);
  EXPECT_EQ(twoLines, 2 * font->GetLineHeight());
  EXPECT_EQ(rect.bottom, 5 + twoLines);
  EXPECT_GT(rect.right, 5);
}

TEST(GdiFont, MonochromeAndShadowMasks) {
  auto mono = MakeFont(24, ANTIALIASED_QUALITY, kFontOwnsHandle | kFontMonochrome);
  ASSERT_NE(mono, nullptr);
  mono->SetTextColour(0x80C86432u);
  std::vector<Pixel> pixels = Render(*mono, "HX", 0);
  int inked = 0;
  for (Pixel p : pixels) {
    if (p == 0) continue;
    ++inked;
    ASSERT_EQ(p, 0x80C86432u);  // the colour word itself, alpha included
  }
  EXPECT_GT(inked, 20);

  auto shadowed = MakeFont(24, ANTIALIASED_QUALITY, kFontOwnsHandle | kFontShadow);
  ASSERT_NE(shadowed, nullptr);
  shadowed->SetTextColour(0xFFFFFFFFu);
  shadowed->SetEffectColour(0xFF0000FFu);
  int text = 0;
  int shadow = 0;
  for (Pixel p : Render(*shadowed, "HX", 0)) {
    text += p == 0xFFFFFFFFu;
    shadow += p == 0xFF0000FFu;
    if (p != 0) {
      ASSERT_TRUE(p == 0xFFFFFFFFu || p == 0xFF0000FFu);
    }
  }
  EXPECT_GT(text, 20);
  EXPECT_GT(shadow, 10);
}

}  // namespace
