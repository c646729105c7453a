#include "gui/bitmap_cache.h"

#include <memory>
#include <mutex>
#include <vector>

#include "graphics/bitmap.h"

namespace {

struct BitmapEntry {
  int id;
  Bitmap* bitmap;
};

// One per process; its destructor runs at module unload (or process exit) and
// frees every image, so editors never have to.
class BitmapStore {
 public:
  ~BitmapStore() { Clear(); }

  Bitmap* Find(int id) {
    std::lock_guard<std::mutex> hold(lock_);
    for (const BitmapEntry* entry : entries_) {
      if (entry->id == id && id != BitmapCache::kUnlistedId) return entry->bitmap;
    }
    return nullptr;
  }

  void Add(int id, Bitmap* bitmap) {
    // The store owns the image from here on, even when it cannot be listed.
    std::unique_ptr<Bitmap> owned(bitmap);
    auto entry = std::make_unique<BitmapEntry>(BitmapEntry{id, bitmap});
    std::lock_guard<std::mutex> hold(lock_);
    entries_.push_back(entry.get());
    entry.release();
    owned.release();
  }

  int Count() {
    std::lock_guard<std::mutex> hold(lock_);
    return static_cast<int>(entries_.size());
  }

  void Clear() {
    std::vector<BitmapEntry*> doomed;
    {
      std::lock_guard<std::mutex> hold(lock_);
      doomed.swap(entries_);
    }
    for (auto it = doomed.rbegin(); it != doomed.rend(); ++it) {
      delete (*it)->bitmap;
      delete *it;
    }
  }

 private:
  std::mutex lock_;
  std::vector<BitmapEntry*> entries_;
};

BitmapStore store;

}  // namespace

namespace BitmapCache {

Bitmap* Find(int id) { return store.Find(id); }
void Add(int id, Bitmap* bitmap) { store.Add(id, bitmap); }
int Count() { return store.Count(); }
void Clear() { store.Clear(); }

}  // namespace BitmapCache
