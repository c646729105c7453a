// What a process holds of the system's resources, measured from inside it:
// its windows, GDI and USER objects, cached editor images, heap and private
// memory. The editor stress tests compare these between cycles.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "gui/bitmap_cache.h"

namespace editor_test {

// Every window of this thread: top-level ones and all their descendants.
inline int ThreadWindows() {
  int count = 0;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM counter) {
        ++*reinterpret_cast<int*>(counter);
        EnumChildWindows(
            window,
            [](HWND, LPARAM inner) {
              ++*reinterpret_cast<int*>(inner);
              return TRUE;
            },
            counter);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count;
}

// Live GDI objects of the process. Windows answers GetGuiResources; Wine
// answers 0 there, but resolves a handle given by its table index alone, so
// probing every index counts the live objects just as well.
inline int GdiObjects() {
  const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (reported != 0) return static_cast<int>(reported);
  int count = 0;
  for (uintptr_t index = 1; index < 0x10000; ++index) {
    count += GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0;
  }
  return count;
}

// Bytes in use in every heap of the process.
inline size_t HeapBytesInUse() {
  HANDLE heaps[64];
  const DWORD heapCount = GetProcessHeaps(64, heaps);
  size_t total = 0;
  for (DWORD i = 0; i < heapCount && i < 64; ++i) {
    if (!HeapLock(heaps[i])) continue;
    PROCESS_HEAP_ENTRY entry = {};
    while (HeapWalk(heaps[i], &entry)) {
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) total += entry.cbData;
    }
    HeapUnlock(heaps[i]);
  }
  return total;
}

// Committed private memory of the process, walked region by region: heap
// segments, DIB-section pixels and thread stacks all live there.
inline size_t CommittedPrivateBytes() {
  size_t total = 0;
  MEMORY_BASIC_INFORMATION region = {};
  const char* address = nullptr;
  while (VirtualQuery(address, &region, sizeof(region)) == sizeof(region)) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
    const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
    if (next <= address) break;
    address = next;
  }
  return total;
}

struct Resources {
  int gdiObjects;
  int userObjects;
  int windows;
  int cachedBitmaps;
  size_t heapBytes;
  size_t privateBytes;
};

inline Resources Measure() {
  return Resources{
      GdiObjects(),     static_cast<int>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)),
      ThreadWindows(),  BitmapCache::Count(),
      HeapBytesInUse(), CommittedPrivateBytes()};
}

}  // namespace editor_test
