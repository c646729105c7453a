// The two scratch bitmaps shared by all GdiFonts of the process: one to
// render glyphs in (white text on an opaque black background), one for GDI
// drawing into bitmaps that have no device context of their own. Created on
// first use, destroyed with the last font. Windows build only.
// [editor thread]
#pragma once

#include <cstdint>

class SystemBitmap;

// Counts fonts in and out; the last one out frees both scratch bitmaps.
void FontCreated();
void FontDestroyed();

// The glyph scratch, at least side x side, or null when it cannot be made.
SystemBitmap* GlyphScratch(int32_t side);
// The drawing scratch, at least width x height, or null.
SystemBitmap* DrawScratch(int32_t width, int32_t height);
