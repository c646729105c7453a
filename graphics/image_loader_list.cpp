#include "graphics/image_loader_list.h"

namespace {
// Constant-initialised, so entries may push themselves during any static
// initialisation.
ImageLoaderEntry* listHead = nullptr;
}  // namespace

ImageLoaderEntry* ImageLoaderList::First() { return listHead; }

void ImageLoaderList::Push(ImageLoaderEntry* entry) {
  entry->next = listHead;
  listHead = entry;
}
