#include "editor_x11/screen_image.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstring>

#include "graphics/bitmap.h"

namespace {

// A failed shared-memory attach (a server on another machine) is reported
// asynchronously; this catches it instead of ending the host.
bool gAttachFailed = false;
int CatchAttachError(Display*, XErrorEvent*) {
  gAttachFailed = true;
  return 0;
}

}  // namespace

ScreenImage::ScreenImage(Display* display, Window window, Visual* visual, int depth)
    : display_(display), window_(window), visual_(visual), depth_(depth) {
  gc_ = XCreateGC(display_, window_, 0, nullptr);
  shmAvailable_ = XShmQueryExtension(display_) == True;
}

ScreenImage::~ScreenImage() {
  FreeSharedImage();
  XFreeGC(display_, gc_);
}

void ScreenImage::FreeSharedImage() {
  if (shmImage_ == nullptr) return;
  XShmDetach(display_, &shmInfo_);
  XSync(display_, False);
  shmdt(shmInfo_.shmaddr);
  shmImage_->data = nullptr;
  XDestroyImage(shmImage_);
  shmImage_ = nullptr;
}

bool ScreenImage::EnsureSharedImage(int width, int height) {
  if (shmImage_ != nullptr && shmImage_->width >= width && shmImage_->height >= height) return true;
  FreeSharedImage();
  XImage* image =
      XShmCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, nullptr, &shmInfo_,
                      static_cast<unsigned>(width), static_cast<unsigned>(height));
  if (image == nullptr) return false;
  const size_t bytes = static_cast<size_t>(image->bytes_per_line) * static_cast<size_t>(height);
  shmInfo_.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  if (shmInfo_.shmid < 0) {
    XDestroyImage(image);
    return false;
  }
  shmInfo_.shmaddr = static_cast<char*>(shmat(shmInfo_.shmid, nullptr, 0));
  // Marked for removal at once: the segment goes with its last user.
  shmctl(shmInfo_.shmid, IPC_RMID, nullptr);
  if (shmInfo_.shmaddr == reinterpret_cast<char*>(-1)) {
    XDestroyImage(image);
    return false;
  }
  image->data = shmInfo_.shmaddr;
  shmInfo_.readOnly = False;
  gAttachFailed = false;
  XErrorHandler previous = XSetErrorHandler(CatchAttachError);
  XShmAttach(display_, &shmInfo_);
  XSync(display_, False);
  XSetErrorHandler(previous);
  if (gAttachFailed) {
    shmdt(shmInfo_.shmaddr);
    image->data = nullptr;
    XDestroyImage(image);
    shmAvailable_ = false;
    return false;
  }
  shmImage_ = image;
  return true;
}

bool ScreenImage::Put(Bitmap* source, int x, int y, int width, int height) {
  if (source == nullptr || source->GetBits() == nullptr) return false;
  x = std::max(x, 0);
  y = std::max(y, 0);
  width = std::min(width, source->GetWidth() - x);
  height = std::min(height, source->GetHeight() - y);
  if (width <= 0 || height <= 0) return true;
  const int span = source->GetRowSpan();
  Pixel* bits = source->GetBits();
  // The back buffer's pixel word is the 24-bit TrueColor layout with the
  // alpha byte unused, so rows go to the server as they are.
  if (shmAvailable_ && EnsureSharedImage(width, height)) {
    for (int row = 0; row < height; ++row) {
      const int sourceRow = source->IsBottomUp() ? source->GetHeight() - 1 - (y + row) : y + row;
      std::memcpy(shmImage_->data + static_cast<size_t>(row) * shmImage_->bytes_per_line,
                  bits + static_cast<intptr_t>(sourceRow) * span + x,
                  static_cast<size_t>(width) * sizeof(Pixel));
    }
    XShmPutImage(display_, window_, gc_, shmImage_, 0, 0, x, y, static_cast<unsigned>(width),
                 static_cast<unsigned>(height), False);
    // The segment is reused at once: wait until the server has read it.
    XSync(display_, False);
    return true;
  }
  XImage* image = XCreateImage(
      display_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0, reinterpret_cast<char*>(bits),
      static_cast<unsigned>(source->GetWidth()), static_cast<unsigned>(source->GetHeight()), 32,
      span * static_cast<int>(sizeof(Pixel)));
  if (image == nullptr) return false;
  XPutImage(display_, window_, gc_, image, x, y, x, y, static_cast<unsigned>(width),
            static_cast<unsigned>(height));
  image->data = nullptr;
  XDestroyImage(image);
  XFlush(display_);
  return true;
}
