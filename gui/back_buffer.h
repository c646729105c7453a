// The editor's back buffer, made by the platform file back_buffer_*.cpp: a
// DIB section on Windows, a memory bitmap natively. The caller owns it.
#pragma once

class Bitmap;

Bitmap* CreateBackBuffer(int width, int height);
