// Natively there is no system font service: no font is ever made, and the
// view's text drawing answers false.
#include "gui/font_cache.h"

GdiFont* CreateFontForStyle(const TextStyle&) { return nullptr; }
