#include "support/gui_test_images.h"

#include <map>
#include <mutex>

#include "graphics/memory_bitmap.h"

namespace gui_images {
namespace {

struct Definition {
  int width;
  int height;
  PixelRule rule;
  int made = 0;
};

std::mutex& Lock() {
  static std::mutex lock;
  return lock;
}

std::map<int, Definition>& Definitions() {
  static std::map<int, Definition> definitions;
  return definitions;
}

}  // namespace

void Define(int id, int width, int height, PixelRule rule) {
  std::lock_guard<std::mutex> hold(Lock());
  Definition& definition = Definitions()[id];
  definition.width = width;
  definition.height = height;
  definition.rule = std::move(rule);
}

Bitmap* Make(int id) {
  Definition definition;
  {
    std::lock_guard<std::mutex> hold(Lock());
    auto found = Definitions().find(id);
    if (found == Definitions().end()) return nullptr;
    ++found->second.made;
    definition = found->second;
  }
  auto* bitmap = new MemoryBitmap(definition.width, definition.height, 4);
  Pixel* bits = bitmap->GetBits();
  const int span = bitmap->GetRowSpan();
  for (int y = 0; y < definition.height; ++y) {
    for (int x = 0; x < definition.width; ++x) bits[y * span + x] = definition.rule(x, y);
  }
  return bitmap;
}

int MakeCount(int id) {
  std::lock_guard<std::mutex> hold(Lock());
  auto found = Definitions().find(id);
  return found == Definitions().end() ? 0 : found->second.made;
}

}  // namespace gui_images
