// ImageLoaderList: the image file loaders known to the library, a singly
// linked list built during static initialisation (the PNG entry pushes
// itself onto the front). Read-only afterwards.
#pragma once

#include "graphics/bitmap.h"

struct ImageLoaderEntry {
  // Loads path (UTF-8) into dest or a new bitmap; with checkExtension set, a
  // path whose extension the loader does not handle gives null unopened.
  Bitmap* (*load)(const char* path, bool checkExtension, Bitmap* dest);
  // Description for file dialogs, e.g. "PNG files (*.PNG)".
  const char* (*describe)();
  ImageLoaderEntry* next;
};

class ImageLoaderList {
 public:
  static ImageLoaderEntry* First();
  static void Push(ImageLoaderEntry* entry);
};
