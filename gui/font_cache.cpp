#include "gui/font_cache.h"

#include <cstring>
#include <mutex>
#include <vector>

namespace {

struct FontEntry {
  int32_t size;
  int32_t orientation;
  int32_t style;
  char face[36];
  GdiFont* font;
};

bool Matches(const FontEntry& entry, const TextStyle& style) {
  return entry.size == style.size && entry.orientation == style.orientation &&
         entry.style == style.style &&
         std::strncmp(entry.face, style.face, sizeof(entry.face)) == 0;
}

// One per process; its destructor runs at module unload (or process exit).
class FontStore {
 public:
  ~FontStore() { Clear(); }

  GdiFont* Find(const TextStyle& style) {
    std::lock_guard<std::mutex> hold(lock_);
    for (const FontEntry* entry : entries_) {
      if (Matches(*entry, style)) return entry->font;
    }
    return nullptr;
  }

  void Add(const TextStyle& style, GdiFont* font) {
    auto* entry = new FontEntry{style.size, style.orientation, style.style, {}, font};
    std::strncpy(entry->face, style.face, sizeof(entry->face) - 1);
    std::lock_guard<std::mutex> hold(lock_);
    entries_.push_back(entry);
  }

  int Count() {
    std::lock_guard<std::mutex> hold(lock_);
    return static_cast<int>(entries_.size());
  }

  void Clear() {
    std::vector<FontEntry*> doomed;
    {
      std::lock_guard<std::mutex> hold(lock_);
      doomed.swap(entries_);
    }
    for (auto it = doomed.rbegin(); it != doomed.rend(); ++it) {
      DeleteFont((*it)->font);
      delete *it;
    }
  }

 private:
  std::mutex lock_;
  std::vector<FontEntry*> entries_;
};

FontStore store;

}  // namespace

namespace FontCache {

GdiFont* Find(const TextStyle& style) { return store.Find(style); }
void Add(const TextStyle& style, GdiFont* font) { store.Add(style, font); }
int Count() { return store.Count(); }
void Clear() { store.Clear(); }

}  // namespace FontCache
