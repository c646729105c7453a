// Natively the back buffer is plain memory: there is no screen to copy to,
// and tests read its pixels directly.
#include "graphics/memory_bitmap.h"
#include "gui/back_buffer.h"

Bitmap* CreateBackBuffer(int width, int height) { return new MemoryBitmap(width, height, 4); }
