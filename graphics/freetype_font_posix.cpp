#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstring>
#include <mutex>

#include "graphics/freetype_font.h"
#include "graphics/gdi_font.h"
#include "graphics/pixel.h"
#include "graphics/utf8_text.h"

namespace {

// Windows faces and the Debian fonts made to their metrics.
struct FaceAlias {
  const char* windowsFace;
  const char* localFace;
};
constexpr FaceAlias kFaceAliases[] = {
    {"Arial", "Liberation Sans"},
    {"Verdana", "DejaVu Sans"},
    {"Times New Roman", "Liberation Serif"},
    {"Courier New", "Liberation Mono"},
};

// One library and one font configuration of our own for the process, made
// with the first font and freed with the last (the host's own fontconfig
// state is never touched); faces are opened and closed under the lock.
std::mutex gLibraryLock;
FT_Library gLibrary = nullptr;
FcConfig* gConfig = nullptr;
int gFonts = 0;

bool AcquireLibraries() {
  if (gLibrary == nullptr && FT_Init_FreeType(&gLibrary) != 0) return false;
  if (gConfig == nullptr) gConfig = FcInitLoadConfigAndFonts();
  return gConfig != nullptr;
}

void ReleaseLibrariesIfUnused() {
  if (gFonts > 0) return;
  if (gConfig != nullptr) FcConfigDestroy(gConfig);
  gConfig = nullptr;
  if (gLibrary != nullptr) FT_Done_FreeType(gLibrary);
  gLibrary = nullptr;
}

const char* LocalFace(const char* face) {
  for (const FaceAlias& alias : kFaceAliases) {
    if (strcasecmp(alias.windowsFace, face) == 0) return alias.localFace;
  }
  return face;
}

// The font file (and face index in it) fontconfig matches; false if none.
bool MatchFile(const char* face, bool bold, bool italic, std::string* file, int* index) {
  FcPattern* pattern = FcPatternCreate();
  if (pattern == nullptr) return false;
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(LocalFace(face)));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(gConfig, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(gConfig, pattern, &result);
  FcPatternDestroy(pattern);
  if (match == nullptr) return false;
  FcChar8* path = nullptr;
  const bool found = FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch;
  if (found) *file = reinterpret_cast<const char*>(path);
  if (FcPatternGetInteger(match, FC_INDEX, 0, index) != FcResultMatch) *index = 0;
  FcPatternDestroy(match);
  return found;
}

int32_t Round26(FT_Pos value) { return static_cast<int32_t>((value + 32) >> 6); }

}  // namespace

FreeTypeFont* FreeTypeFont::Create(const char* face, int32_t cellHeight, bool bold, bool italic,
                                   bool antialiased) {
  if (face == nullptr || cellHeight <= 0) return nullptr;
  std::string file;
  int index = 0;
  std::lock_guard<std::mutex> hold(gLibraryLock);
  FT_Face ftFace = nullptr;
  if (!AcquireLibraries() || !MatchFile(face, bold, italic, &file, &index) ||
      FT_New_Face(gLibrary, file.c_str(), index, &ftFace) != 0) {
    ReleaseLibrariesIfUnused();
    return nullptr;
  }
  // GDI's positive height is the cell: ascent plus descent.
  FT_Size_RequestRec request = {};
  request.type = FT_SIZE_REQUEST_TYPE_CELL;
  request.height = static_cast<FT_Long>(cellHeight) * 64;
  if (FT_Request_Size(ftFace, &request) != 0) {
    FT_Done_Face(ftFace);
    ReleaseLibrariesIfUnused();
    return nullptr;
  }
  auto* font = new FreeTypeFont();
  ++gFonts;
  font->face_ = ftFace;
  font->antialiased_ = antialiased;
  font->ascent_ = Round26(ftFace->size->metrics.ascender);
  // The cell stays exactly the height asked for, as GDI's does.
  font->descent_ = cellHeight - font->ascent_;
  font->file_ = file;
  return font;
}

FreeTypeFont::~FreeTypeFont() {
  std::lock_guard<std::mutex> hold(gLibraryLock);
  FT_Done_Face(static_cast<FT_Face>(face_));
  --gFonts;
  ReleaseLibrariesIfUnused();
}

const FreeTypeFont::Glyph* FreeTypeFont::GlyphFor(uint32_t code) {
  for (const Glyph& glyph : glyphs_) {
    if (glyph.code == code) return &glyph;
  }
  FT_Face face = static_cast<FT_Face>(face_);
  const FT_Int32 load =
      FT_LOAD_RENDER | (antialiased_ ? FT_LOAD_TARGET_LIGHT : FT_LOAD_TARGET_MONO);
  Glyph glyph{code, 0, 0, 0, 0, 0, {}};
  if (FT_Load_Char(face, code, load) == 0) {
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.width = static_cast<int32_t>(bitmap.width);
    glyph.height = static_cast<int32_t>(bitmap.rows);
    glyph.advance = Round26(slot->advance.x);
    glyph.coverage.resize(static_cast<size_t>(glyph.width) * static_cast<size_t>(glyph.height));
    for (int32_t y = 0; y < glyph.height; ++y) {
      const uint8_t* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
      for (int32_t x = 0; x < glyph.width; ++x) {
        const uint8_t value = bitmap.pixel_mode == FT_PIXEL_MODE_MONO
                                  ? ((row[x >> 3] >> (7 - (x & 7))) & 1) * 255
                                  : row[x];
        glyph.coverage[static_cast<size_t>(y * glyph.width + x)] = value;
      }
    }
  }
  glyphs_.push_back(std::move(glyph));
  return &glyphs_.back();
}

int32_t FreeTypeFont::LineWidth(const char* text, int32_t length) {
  int32_t width = 0;
  for (int32_t i = 0; i < length;) width += GlyphFor(NextCode(text, length, &i))->advance;
  return width;
}

void FreeTypeFont::DrawGlyph(Bitmap* dest, const Glyph& glyph, int32_t penX, int32_t baseline,
                             uint32_t colour, int32_t alpha, const BitmapRect& clip) {
  const int32_t left = penX + glyph.left;
  const int32_t top = baseline - glyph.top;
  const int32_t x0 = std::max(left, clip.left);
  const int32_t y0 = std::max(top, clip.top);
  const int32_t x1 = std::min(left + glyph.width, clip.right);
  const int32_t y1 = std::min(top + glyph.height, clip.bottom);
  Pixel* bits = dest->GetBits();
  const int32_t span = dest->GetRowSpan();
  const int32_t height = dest->GetHeight();
  const int32_t red = PixelRed(colour);
  const int32_t green = PixelGreen(colour);
  const int32_t blue = PixelBlue(colour);
  for (int32_t y = y0; y < y1; ++y) {
    const int32_t row = dest->IsBottomUp() ? height - 1 - y : y;
    Pixel* out = bits + static_cast<intptr_t>(row) * span;
    const uint8_t* coverage = glyph.coverage.data() + (y - top) * glyph.width - left;
    for (int32_t x = x0; x < x1; ++x) {
      const int32_t weight = coverage[x] * alpha / 255;
      if (weight == 0) continue;
      const Pixel p = out[x];
      const auto mix = [weight](int32_t under, int32_t over) {
        return under + ((over - under) * weight + 127) / 255;
      };
      out[x] = (p & 0xFF000000u) | (static_cast<Pixel>(mix(PixelRed(p), red)) << 16) |
               (static_cast<Pixel>(mix(PixelGreen(p), green)) << 8) |
               static_cast<Pixel>(mix(PixelBlue(p), blue));
    }
  }
}

int32_t FreeTypeFont::DrawString(Bitmap* dest, const char* text, const BitmapRect& rect,
                                 uint32_t colour, uint32_t drawFlags) {
  if (dest == nullptr || text == nullptr || dest->GetBits() == nullptr) return 0;
  const int32_t alpha = (drawFlags & kTextUseColourAlpha) != 0 ? PixelAlpha(colour) : 255;
  BitmapRect clip{0, 0, dest->GetWidth(), dest->GetHeight()};
  if ((drawFlags & kTextNoClip) == 0) {
    clip = BitmapRect{std::max(clip.left, rect.left), std::max(clip.top, rect.top),
                      std::min(clip.right, rect.right), std::min(clip.bottom, rect.bottom)};
  }
  const int32_t total = static_cast<int32_t>(std::strlen(text));
  int32_t lines = 1;
  for (int32_t i = 0; i < total; ++i) lines += text[i] == '\n' ? 1 : 0;
  int32_t top = rect.top;
  if ((drawFlags & kTextVCentre) != 0) top += (rect.bottom - rect.top - lines * LineHeight()) / 2;
  if ((drawFlags & kTextBottom) != 0) top = rect.bottom - lines * LineHeight();
  int32_t start = 0;
  for (int32_t line = 0; line < lines; ++line) {
    int32_t end = start;
    while (end < total && text[end] != '\n') ++end;
    const int32_t width = LineWidth(text + start, end - start);
    int32_t penX = rect.left;
    if ((drawFlags & kTextCentre) != 0) penX += (rect.right - rect.left - width) / 2;
    if ((drawFlags & kTextRight) != 0) penX = rect.right - width;
    const int32_t baseline = top + line * LineHeight() + ascent_;
    if (alpha > 0) {
      for (int32_t i = start; i < end;) {
        const Glyph* glyph = GlyphFor(NextCode(text, end, &i));
        DrawGlyph(dest, *glyph, penX, baseline, colour, alpha, clip);
        penX += glyph->advance;
      }
    }
    start = end + 1;
  }
  return lines * LineHeight();
}
