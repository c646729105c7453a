// On Windows the back buffer is a DIB section, so GDI can draw text into it
// and the window can copy it to the screen with BitBlt.
#include "graphics/system_bitmap.h"
#include "gui/back_buffer.h"

Bitmap* CreateBackBuffer(int width, int height) { return new SystemBitmap(width, height); }
