// libFuzzer entry for the memory PNG loader: any input must either decode
// to a bitmap of the claimed size or give null, without leaks or overruns.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "graphics/memory_bitmap.h"
#include "graphics/png_loader.h"

namespace {

// Width times height claimed by the IHDR chunk when it is where it must be.
uint64_t ClaimedPixels(const uint8_t* data, size_t size) {
  if (size < 24) return 0;
  auto word = [data](size_t at) {
    return (uint32_t{data[at]} << 24) | (uint32_t{data[at + 1]} << 16) |
           (uint32_t{data[at + 2]} << 8) | uint32_t{data[at + 3]};
  };
  return uint64_t{word(16)} * word(20);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Legitimately huge images (up to 16384 x 16384) decode correctly but take
  // seconds each under the sanitizers; they say nothing new about parsing.
  if (ClaimedPixels(data, size) > (uint64_t{1} << 22)) return 0;
  Bitmap* decoded = LoadPngFromMemory(data, size, nullptr);
  if (decoded != nullptr) {
    int32_t width = decoded->GetWidth();
    int32_t height = decoded->GetHeight();
    if (width <= 0 || height <= 0 || decoded->GetBits() == nullptr) std::abort();
    // Touch the last pixel: the whole image must be addressable.
    volatile Pixel last =
        decoded->GetBits()[static_cast<intptr_t>(height - 1) * decoded->GetRowSpan() + width - 1];
    (void)last;
    delete decoded;
  }
  // Decoding into an existing bitmap must hand back that bitmap or null.
  MemoryBitmap dest(3, 2, 4);
  Bitmap* reused = LoadPngFromMemory(data, size, &dest);
  if (reused != nullptr && reused != &dest) std::abort();
  return 0;
}
