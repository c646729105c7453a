#include "graphics/png_loader.h"

#include <png.h>

#include "graphics/file_open.h"
#include "graphics/png_decode.h"

Bitmap* LoadPngFromMemory(const void* data, size_t size, Bitmap* dest) {
  if (data == nullptr || size < 8) return nullptr;
  auto* bytes = static_cast<const uint8_t*>(data);
  if (png_sig_cmp(bytes, 0, 8) != 0) return nullptr;
  return DecodePng(PngInput{bytes, size, nullptr}, dest);
}

Bitmap* LoadPngFromFile(const char* path, Bitmap* dest) {
  if (path == nullptr) return nullptr;
  std::FILE* file = OpenFileForReading(path);
  if (file == nullptr) return nullptr;
  Bitmap* result = DecodePng(PngInput{nullptr, 0, file}, dest);
  std::fclose(file);
  return result;
}
