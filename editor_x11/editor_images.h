// The editor's PNG images, compiled into the native module from img/ by the
// build (the table the Windows module keeps as resources, same ids).
#pragma once

#include <cstddef>

struct EmbeddedImage {
  int id;
  const unsigned char* data;
  size_t size;
};

// The image with this resource id, or null.
const EmbeddedImage* FindEmbeddedImage(int id);
