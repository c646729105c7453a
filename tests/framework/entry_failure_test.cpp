// Nothing unwinds through the module entry: an allocation that fails at any
// point of an effect's construction makes VSTPluginMain answer null, and the
// next call builds a working effect. A replaced global operator new fails the
// allocation picked by the test; it counts only while armed.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "framework/vst2_interface.h"

extern "C" vst2::AEffect* VSTPluginMain(vst2::AudioMasterCallback audioMaster);

namespace {
// Allocations left before the failing one; negative when disarmed.
std::atomic<long> allocationsBeforeFailure{-1};
std::atomic<bool> failed{false};

void* Allocate(std::size_t size) {
  const long left = allocationsBeforeFailure.load();
  if (left == 0) {
    allocationsBeforeFailure = -1;
    failed = true;
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
  if (void* p = Allocate(size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

intptr_t VST2_CALL SilentHost(vst2::AEffect*, int32_t, int32_t, intptr_t, void*, float) {
  return 0;
}

TEST(ModuleEntry, AFailedAllocationAnywhereInConstructionAnswersNull) {
  int failures = 0;
  for (long before = 0;; ++before) {
    failed = false;
    allocationsBeforeFailure = before;
    vst2::AEffect* effect = VSTPluginMain(SilentHost);
    allocationsBeforeFailure = -1;
    if (!failed) {
      // Construction needed fewer allocations than `before`: it must work.
      ASSERT_NE(effect, nullptr) << "after " << failures << " failing constructions";
      EXPECT_EQ(effect->numParams, 24);
      effect->dispatcher(effect, vst2::effClose, 0, 0, nullptr, 0.0f);
      break;
    }
    ++failures;
    ASSERT_EQ(effect, nullptr) << "allocation " << before << " failed, yet an effect came back";
  }
  EXPECT_GE(failures, 50 + 27);  // at least one per preset and parameter object
  // The module entry still works afterwards (its lock was released).
  vst2::AEffect* effect = VSTPluginMain(SilentHost);
  ASSERT_NE(effect, nullptr);
  effect->dispatcher(effect, vst2::effClose, 0, 0, nullptr, 0.0f);
}

}  // namespace
