#include "tools/host/bmp_file.h"

#include <cstdio>
#include <vector>

#include "tools/host/little_endian.h"

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
  PutU32(file, kHeaderBytes + pixelBytes);
  PutU32(file, 0);
  PutU32(file, kHeaderBytes);
  // Info header; a negative height would mean top-down rows, which fewer
  // readers accept, so rows are stored bottom-up as usual.
  PutU32(file, 40);
  PutU32(file, static_cast<uint32_t>(width));
  PutU32(file, static_cast<uint32_t>(height));
  PutU16(file, 1);   // planes
  PutU16(file, 32);  // bits per pixel
  PutU32(file, 0);   // uncompressed
  PutU32(file, pixelBytes);
  PutU32(file, 2835);  // 72 dpi
  PutU32(file, 2835);
  PutU32(file, 0);
  PutU32(file, 0);
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
