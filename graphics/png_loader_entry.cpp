#include <cctype>
#include <cstring>

#include "graphics/image_loader_list.h"
#include "graphics/png_loader.h"

Bitmap* LoadPngWithExtensionCheck(const char* path, bool checkExtension, Bitmap* dest) {
  if (path == nullptr) return nullptr;
  if (checkExtension) {
    // The extension is everything from the last dot, slash or backslash.
    const char* extension = path;
    for (const char* p = path; *p != '\0'; ++p) {
      if (*p == '.' || *p == '/' || *p == '\\') extension = p;
    }
    const char* expected = ".png";
    if (std::strlen(extension) != 4) return nullptr;
    for (int i = 0; i < 4; ++i) {
      if (std::tolower(static_cast<unsigned char>(extension[i])) != expected[i]) return nullptr;
    }
  }
  return LoadPngFromFile(path, dest);
}

namespace {

const char* DescribePng() { return "PNG files (*.PNG)"; }

ImageLoaderEntry pngEntry{LoadPngWithExtensionCheck, DescribePng, nullptr};

struct PngEntryRegistration {
  PngEntryRegistration() { ImageLoaderList::Push(&pngEntry); }
};
const PngEntryRegistration registration;

}  // namespace
