// Natively there is no system font service: no font is ever made, and the
// view's text drawing answers false before it gets here.
#include "gui/font_cache.h"

GdiFont* CreateFontForStyle(const TextStyle&) { return nullptr; }
void DeleteFont(GdiFont*) {}
void DrawWithFont(GdiFont*, Bitmap*, const char*, const Rect&, uint32_t, uint32_t) {}
