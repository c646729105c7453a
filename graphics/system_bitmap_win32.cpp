#include <windows.h>

#include "graphics/system_bitmap.h"

SystemBitmap::SystemBitmap(int32_t width, int32_t height) {
  deviceContext_ = CreateCompatibleDC(nullptr);
  Resize(width, height);
}

SystemBitmap::~SystemBitmap() {
  ReleaseSection();
  if (deviceContext_ != nullptr) DeleteDC(deviceContext_);
}

void SystemBitmap::ReleaseSection() {
  if (previousObject_ != nullptr && deviceContext_ != nullptr) {
    SelectObject(deviceContext_, static_cast<HGDIOBJ>(previousObject_));
  }
  previousObject_ = nullptr;
  if (section_ != nullptr) DeleteObject(section_);
  section_ = nullptr;
  bits_ = nullptr;
}

bool SystemBitmap::Resize(int32_t width, int32_t height) {
  if (deviceContext_ == nullptr) {
    width_ = height_ = 0;
    bits_ = nullptr;
    return false;
  }
  if (width == width_ && height == height_) return false;
  width_ = width;
  height_ = height;
  if (width != 0 && height != 0 && allocatedWidth_ >= width && allocatedHeight_ >= height &&
      bits_ != nullptr) {
    return true;  // the section is big enough: only the visible size changes
  }
  allocatedWidth_ = static_cast<int32_t>((static_cast<int64_t>(width) + 3) & ~int64_t{3});
  allocatedHeight_ = height;
  ReleaseSection();
  if (allocatedWidth_ < 1 || allocatedHeight_ < 1) return false;

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = allocatedWidth_;
  info.bmiHeader.biHeight = -allocatedHeight_;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (section != nullptr && bits != nullptr) {
    section_ = section;
    bits_ = static_cast<Pixel*>(bits);
    previousObject_ = SelectObject(deviceContext_, section);
  } else {
    if (section != nullptr) DeleteObject(section);
    width_ = height_ = 0;
    bits_ = nullptr;
  }
  return true;
}
