// BitmapCache: the process-wide store of decoded images, shared by every
// editor. Images from resources are kept under their id; crops made by the
// view under -1, never found by a lookup, kept only so that they are freed.
// Everything is deleted when the module is unloaded. The lock is held only for
// one lookup or one insertion; decoding happens outside it.
#pragma once

class Bitmap;

namespace BitmapCache {

constexpr int kUnlistedId = -1;

// The first image entered under id, or null. [any thread]
Bitmap* Find(int id);
// Takes ownership of bitmap. [any thread]
void Add(int id, Bitmap* bitmap);
// Number of entries, crops included. [any thread]
int Count();
// Deletes every image and entry. [module unload]
void Clear();

}  // namespace BitmapCache
