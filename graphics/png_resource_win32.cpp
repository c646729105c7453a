#include <windows.h>

#include "graphics/png_loader.h"

Bitmap* LoadPngFromResource(HINSTANCE__* module, uint16_t id, Bitmap* dest) {
  HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), "PNG");
  if (resource == nullptr) return nullptr;
  DWORD size = SizeofResource(module, resource);
  if (size <= 7) return nullptr;
  HGLOBAL loaded = LoadResource(module, resource);
  if (loaded == nullptr) return nullptr;
  const void* data = LockResource(loaded);
  if (data == nullptr) return nullptr;
  return LoadPngFromMemory(data, size, dest);
}
