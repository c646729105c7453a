// A global operator new that counts every allocation into `allocations`,
// for tests that prove a path allocates nothing, and fails one chosen
// allocation when armed, for tests that walk a failure through every
// allocation of a path. The replacements are definitions: include this
// header from exactly one file of a test program.
#pragma once

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> allocations{0};
// Allocations left before the one that fails; negative when disarmed.
std::atomic<long> allocationsBeforeFailure{-1};
std::atomic<bool> allocationFailed{false};

void* CountedAllocation(std::size_t size) {
  ++allocations;
  const long left = allocationsBeforeFailure.load();
  if (left == 0) {
    allocationsBeforeFailure = -1;
    allocationFailed = true;
    return nullptr;
  }
  if (left > 0) allocationsBeforeFailure = left - 1;
  return std::malloc(size ? size : 1);
}
}  // namespace

// These replacements pair malloc with free; GCC cannot see that through
// inlined new/delete expressions and warns.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size) {
  if (void* p = CountedAllocation(size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return CountedAllocation(size);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
