#include "framework/recursive_lock.h"

#include <mutex>
#include <new>

static_assert(sizeof(std::recursive_mutex) <= 64, "mutex must fit the lock's storage");

static std::recursive_mutex* Mutex(unsigned char* storage) {
  return std::launder(reinterpret_cast<std::recursive_mutex*>(storage));
}

RecursiveLock::RecursiveLock() { new (storage_) std::recursive_mutex; }
RecursiveLock::~RecursiveLock() { Mutex(storage_)->~recursive_mutex(); }
void RecursiveLock::Acquire() { Mutex(storage_)->lock(); }
void RecursiveLock::Release() { Mutex(storage_)->unlock(); }
bool RecursiveLock::TryAcquire() { return Mutex(storage_)->try_lock(); }
