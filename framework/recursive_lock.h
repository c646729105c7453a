// A re-entrant lock: a Win32 critical section in the Windows build, a
// recursive mutex natively. Used for the module lock and each instance lock.
#pragma once

#include <cstddef>

class RecursiveLock {
 public:
  RecursiveLock();
  ~RecursiveLock();
  RecursiveLock(const RecursiveLock&) = delete;
  RecursiveLock& operator=(const RecursiveLock&) = delete;

  void Enter();  // [any thread] may be re-entered by the owning thread
  void Leave();  // [owning thread]

 private:
  // Storage for the platform object, so that this header needs no system header.
  alignas(16) unsigned char storage_[64];
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
