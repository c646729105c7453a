#include "tools/host/bmp_file.h"

#include <cstdio>
#include <vector>

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

}  // namespace

bool WriteBmp32(const std::string& path, int width, int height, const uint8_t* bgrx,
                std::string& error) {
  if (width <= 0 || height <= 0 || width > 16384 || height > 16384) {
    error = "bad image size";
    return false;
  }
  const uint32_t kHeaderBytes = 14 + 40;
  const uint32_t pixelBytes = static_cast<uint32_t>(width) * static_cast<uint32_t>(height) * 4;
  std::vector<uint8_t> file;
  file.reserve(kHeaderBytes + pixelBytes);
  // File header.
  file.push_back('B');
  file.push_back('M');
  Put32(file, kHeaderBytes + pixelBytes);
  Put32(file, 0);
  Put32(file, kHeaderBytes);
  // Info header; a negative height would mean top-down rows, which fewer
  // readers accept, so rows are stored bottom-up as usual.
  Put32(file, 40);
  Put32(file, static_cast<uint32_t>(width));
  Put32(file, static_cast<uint32_t>(height));
  Put16(file, 1);   // planes
  Put16(file, 32);  // bits per pixel
  Put32(file, 0);   // uncompressed
  Put32(file, pixelBytes);
  Put32(file, 2835);  // 72 dpi
  Put32(file, 2835);
  Put32(file, 0);
  Put32(file, 0);
  const size_t rowBytes = static_cast<size_t>(width) * 4;
  for (int y = height - 1; y >= 0; --y) {
    const uint8_t* row = bgrx + static_cast<size_t>(y) * rowBytes;
    for (size_t i = 0; i < rowBytes; i += 4) {
      file.insert(file.end(), row + i, row + i + 3);
      file.push_back(0);
    }
  }
  FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) {
    error = "cannot create " + path;
    return false;
  }
  const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
  if (std::fclose(out) != 0 || !written) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}
