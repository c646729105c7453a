#include "framework/recursive_lock.h"

#include <windows.h>

#include <new>

static_assert(sizeof(CRITICAL_SECTION) <= 64, "critical section must fit the lock's storage");

static CRITICAL_SECTION* Section(unsigned char* storage) {
  return reinterpret_cast<CRITICAL_SECTION*>(storage);
}

RecursiveLock::RecursiveLock() { InitializeCriticalSection(new (storage_) CRITICAL_SECTION); }
RecursiveLock::~RecursiveLock() { DeleteCriticalSection(Section(storage_)); }
void RecursiveLock::Acquire() { EnterCriticalSection(Section(storage_)); }
void RecursiveLock::Release() { LeaveCriticalSection(Section(storage_)); }
bool RecursiveLock::TryAcquire() { return TryEnterCriticalSection(Section(storage_)) != 0; }
