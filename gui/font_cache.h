// FontCache: the process-wide store of fonts by (size, orientation, style,
// face), shared by every editor and freed at module unload. Fonts are created
// by the platform file font_factory_*.cpp; natively none exists and every
// lookup answers null.
#pragma once

#include <cstdint>

#include "gui/records.h"

class Bitmap;
class GdiFont;

namespace FontCache {

// The font for this style, or null. [any thread]
GdiFont* Find(const TextStyle& style);
// Takes ownership of font. [any thread]
void Add(const TextStyle& style, GdiFont* font);
int Count();
// Deletes every font and entry. [module unload]
void Clear();

}  // namespace FontCache

// Creates the font for a style; null when the system refuses. Lives in the
// platform file (GDI on Windows; natively there are no fonts and it answers
// null, so text is not drawn).
GdiFont* CreateFontForStyle(const TextStyle& style);
void DeleteFont(GdiFont* font);
// Draws text with a font in the text colour; drawFlags are the font's own.
void DrawWithFont(GdiFont* font, Bitmap* dest, const char* text, const Rect& rect, uint32_t colour,
                  uint32_t drawFlags);
