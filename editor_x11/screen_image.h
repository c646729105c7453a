// ScreenImage: copies rectangles of the editor's back buffer to its X11
// window, through a shared-memory image when the server offers MIT-SHM on
// this machine, through XPutImage otherwise. Made when the window opens and
// gone before it closes. [editor thread]
#pragma once

#include "editor_x11/x11_headers.h"

class Bitmap;

class ScreenImage {
 public:
  ScreenImage(Display* display, Window window, Visual* visual, int depth);
  ~ScreenImage();
  ScreenImage(const ScreenImage&) = delete;
  ScreenImage& operator=(const ScreenImage&) = delete;

  // Copies (x, y, width, height) of source to the same place in the window;
  // the part outside the back buffer is left alone.
  bool Put(Bitmap* source, int x, int y, int width, int height);
  bool UsesSharedMemory() const { return shmImage_ != nullptr; }

 private:
  bool EnsureSharedImage(int width, int height);
  void FreeSharedImage();

  Display* display_;
  Window window_;
  Visual* visual_;
  int depth_;
  GC gc_;
  bool shmAvailable_;
  XImage* shmImage_ = nullptr;
  XShmSegmentInfo shmInfo_ = {};
};
