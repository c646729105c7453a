#include <windows.h>

#include <cstring>
#include <vector>

#include "graphics/blit.h"
#include "graphics/font_scratch.h"
#include "graphics/gdi_font.h"
#include "graphics/system_bitmap.h"
#include "graphics/utf8_text.h"
#include "graphics/wine_probe.h"

namespace {

// Font flags that only the glyph path can honour.
constexpr int32_t kGlyphOnlyFontFlags = kFontVertical | kFontVerticalUpwards | kFontPrerenderAscii |
                                        kFontBlurred | kFontInverted | kFontMonochrome |
                                        kFontShadow | kFontOutline;
constexpr uint32_t kAlignmentFlags = kTextCentre | kTextRight | kTextVCentre | kTextBottom;
// Our own draw flags, never handed to GDI.
constexpr uint32_t kPrivateDrawFlags = kTextUseColourAlpha | kTextForceGlyphs;

COLORREF ToColorRef(Pixel colour) {
  return RGB(PixelRed(colour), PixelGreen(colour), PixelBlue(colour));
}

// The text as GDI takes it: UTF-16 when it holds multi-byte UTF-8, else the
// bytes themselves (also when the conversion fails).
class GdiText {
 public:
  GdiText(const char* text, int32_t length) : bytes_(text), length_(length) {
    if (!HasMultiByteSequence(text, length)) return;
    int needed = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, length, nullptr, 0);
    if (needed <= 0) return;
    wchar_t* target = stackBuffer_;
    if (needed > 999) {
      heapBuffer_.resize(static_cast<size_t>(needed));
      target = heapBuffer_.data();
    }
    int converted = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, length, target, needed);
    if (converted > 0) {
      wide_ = target;
      wideLength_ = converted;
    }
  }
  int Draw(HDC dc, RECT* rect, UINT format) const {
    if (wide_ != nullptr) return DrawTextW(dc, wide_, wideLength_, rect, format);
    return DrawTextA(dc, bytes_, length_, rect, format);
  }

 private:
  const char* bytes_;
  int32_t length_;
  wchar_t stackBuffer_[1024];
  std::vector<wchar_t> heapBuffer_;
  const wchar_t* wide_ = nullptr;
  int wideLength_ = 0;
};

}  // namespace

GdiFont::GdiFont() { FontCreated(); }

GdiFont::~GdiFont() {
  if ((flags_ & kFontOwnsHandle) != 0 && font_ != nullptr) DeleteObject(font_);
  FontDestroyed();
}

void GdiFont::SetFromHFont(NativeFont font, int32_t flags) {
  if ((flags_ & kFontOwnsHandle) != 0 && font_ != nullptr && font_ != font) DeleteObject(font_);
  flags_ = flags;
  font_ = font;
  lineHeight_ = 0;
  if (font != nullptr) {
    SystemBitmap* scratch = GlyphScratch(256);
    if (scratch != nullptr) {
      HDC dc = scratch->GetDeviceContext();
      HGDIOBJ previous = SelectObject(dc, font);
      TEXTMETRICA metrics = {};
      if (GetTextMetricsA(dc, &metrics)) lineHeight_ = metrics.tmHeight;
      SelectObject(dc, previous);
    }
  }
  ClearGlyphs();
  if (font != nullptr && (flags & kFontPrerenderAscii) != 0) {
    for (uint32_t code = 0; code < 128; ++code) GlyphFor(code);
  }
}

Pixel GdiFont::SetTextColour(Pixel colour) {
  Pixel previous = textColour_;
  textColour_ = colour;
  return previous;
}

Pixel GdiFont::SetBackgroundColour(Pixel colour) {
  Pixel previous = backgroundColour_;
  backgroundColour_ = colour;
  return previous;
}

Pixel GdiFont::SetEffectColour(Pixel colour) {
  Pixel previous = effectColour_;
  effectColour_ = colour;
  return previous;
}

int32_t GdiFont::SetBackgroundMode(int32_t mode) {
  int32_t previous = backgroundMode_;
  backgroundMode_ = mode;
  return previous;
}

void GdiFont::SetCombine(BlendMode mode, float alpha) {
  combineMode_ = mode;
  alpha_ = alpha;
}

bool GdiFont::UsesGdiPath(const char* /*text*/, int32_t /*length*/, uint32_t drawFlags) const {
  if (font_ == nullptr) return false;
  if (lineHeight_ > 255) return true;  // too big for glyph masks
  return (flags_ & kFontPrefersGdi) != 0 && (drawFlags & kTextForceGlyphs) == 0 &&
         !RunningUnderWine() && (drawFlags & kTextUseColourAlpha) == 0 &&
         (flags_ & kGlyphOnlyFontFlags) == 0 &&
         (lineSpacing_ == 0 || (drawFlags & kTextSingleLine) != 0);
}

int32_t GdiFont::DrawString(Bitmap* dest, const char* text, int32_t length, BitmapRect* rect,
                            uint32_t drawFlags) {
  if (dest == nullptr && (drawFlags & kTextMeasureOnly) == 0) return 0;
  if (text == nullptr || rect == nullptr || font_ == nullptr) return 0;
  if (length < 0) length = static_cast<int32_t>(std::strlen(text));
  if (UsesGdiPath(text, length, drawFlags)) return DrawWithGdi(dest, text, length, rect, drawFlags);
  return DrawWithGlyphs(dest, text, length, rect, drawFlags);
}

int32_t GdiFont::DrawWithGdi(Bitmap* dest, const char* text, int32_t length, BitmapRect* rect,
                             uint32_t drawFlags) {
  GdiText gdiText(text, length);
  UINT format = (drawFlags & ~kPrivateDrawFlags) | DT_NOPREFIX;
  auto drawInto = [&](HDC dc, RECT* area, UINT flags) {
    HGDIOBJ previous = SelectObject(dc, font_);
    SetTextColor(dc, ToColorRef(textColour_));
    SetBkMode(dc, backgroundMode_);
    if (backgroundMode_ == OPAQUE) SetBkColor(dc, ToColorRef(backgroundColour_));
    int height = gdiText.Draw(dc, area, flags);
    SelectObject(dc, previous);
    GdiFlush();
    return height;
  };

  HDC destDc = dest != nullptr ? dest->GetDeviceContext() : nullptr;
  if (destDc != nullptr) {
    RECT area = {rect->left, rect->top, rect->right, rect->bottom};
    int height = drawInto(destDc, &area, format);
    if ((drawFlags & kTextMeasureOnly) != 0) {
      rect->right = area.right;
      rect->bottom = area.bottom;
    }
    return height;
  }

  // No device context: measure on the scratch, then draw the text over a
  // copy of the destination area and copy that back.
  SystemBitmap* scratch = DrawScratch(4, 4);
  if (scratch == nullptr) return 0;
  UINT measureFormat = (format & ~(kAlignmentFlags | DT_NOCLIP)) | DT_CALCRECT;
  RECT measured = {0, 0, rect->right - rect->left, rect->bottom - rect->top};
  drawInto(scratch->GetDeviceContext(), &measured, measureFormat);
  int32_t textWidth = measured.right - measured.left;
  int32_t textHeight = measured.bottom - measured.top;
  if ((drawFlags & kTextMeasureOnly) != 0) {
    rect->right = rect->left + textWidth;
    rect->bottom = rect->top + textHeight;
    return textHeight;
  }
  int32_t left = rect->left;
  int32_t top = rect->top;
  if ((drawFlags & kTextCentre) != 0) left += (rect->right - rect->left - textWidth) / 2;
  if ((drawFlags & kTextRight) != 0) left = rect->right - textWidth;
  if ((drawFlags & kTextVCentre) != 0) top += (rect->bottom - rect->top - textHeight) / 2;
  if ((drawFlags & kTextBottom) != 0) top = rect->bottom - textHeight;
  BitmapRect box{left, top, left + textWidth, top + textHeight};
  BitmapRect limit = (drawFlags & kTextNoClip) != 0
                         ? BitmapRect{0, 0, dest->GetWidth(), dest->GetHeight()}
                         : *rect;
  if (box.left < limit.left) box.left = limit.left;
  if (box.top < limit.top) box.top = limit.top;
  if (box.right > limit.right) box.right = limit.right;
  if (box.bottom > limit.bottom) box.bottom = limit.bottom;
  // Leave room for glyphs that reach left of their cell.
  int32_t widen = lineHeight_ < 16 ? 2 : lineHeight_ / 16 + 2;
  int32_t room = box.left < widen ? (box.left > 0 ? box.left : 0) : widen;
  box.left -= room;
  if (box.right <= box.left || box.bottom <= box.top) return 0;
  int32_t boxW = box.right - box.left;
  int32_t boxH = box.bottom - box.top;
  scratch = DrawScratch(boxW, boxH);
  if (scratch == nullptr) return 0;
  Blit(scratch, dest, 0, 0, &box, 1.0f, kBlendCopy);
  RECT area = {left - box.left, top - box.top, left - box.left + textWidth,
               top - box.top + textHeight};
  int height = drawInto(scratch->GetDeviceContext(), &area,
                        (format & ~(kAlignmentFlags | kTextMeasureOnly)) | DT_NOCLIP);
  BlitRegion(dest, scratch, box.left, box.top, 0, 0, boxW, boxH, alpha_, kBlendCopy);
  return height;
}
