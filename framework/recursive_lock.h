// A re-entrant lock: a Win32 critical section in the Windows build, a
// recursive mutex natively. Used for the module lock and each instance lock.
#pragma once

#include <cstddef>

class RecursiveLock {
 public:
  using ReleaseHook = void (*)(void* context);

  RecursiveLock();
  ~RecursiveLock();
  RecursiveLock(const RecursiveLock&) = delete;
  RecursiveLock& operator=(const RecursiveLock&) = delete;

  // [any thread] may be re-entered by the owning thread
  void Enter() {
    Acquire();
    ++depth_;
  }
  // [owning thread] The outermost Leave runs the release hook afterwards, on
  // this thread, with the lock already free for others.
  void Leave() {
    const bool outermost = --depth_ == 0;
    Release();
    if (outermost && releaseHook_) releaseHook_(releaseContext_);
  }
  // Takes the lock unless another thread holds it. [any thread]
  bool TryEnter() {
    if (!TryAcquire()) return false;
    ++depth_;
    return true;
  }
  // For work that must wait until this thread holds the lock no more (calls
  // into a host that may wait on a thread which waits on this lock). Set
  // before other threads use the lock. [constructing thread]
  void SetReleaseHook(ReleaseHook hook, void* context) {
    releaseHook_ = hook;
    releaseContext_ = context;
  }

 private:
  void Acquire();
  void Release();
  bool TryAcquire();

  // Storage for the platform object, so that this header needs no system header.
  alignas(16) unsigned char storage_[64];
  int depth_ = 0;  // the owner's holds; only the owner touches it
  ReleaseHook releaseHook_ = nullptr;
  void* releaseContext_ = nullptr;
};

// Holds a lock for the lifetime of a scope.
class ScopedLock {
 public:
  explicit ScopedLock(RecursiveLock& lock) : lock_(lock) { lock_.Enter(); }
  ~ScopedLock() { lock_.Leave(); }
  ScopedLock(const ScopedLock&) = delete;
  ScopedLock& operator=(const ScopedLock&) = delete;

 private:
  RecursiveLock& lock_;
};
