// The audio path must not allocate: a counting global operator new watches
// whole blocks of every target, including realignment, step starts and the
// packing of an edited pattern.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "engine/test_gate.h"

namespace {
std::atomic<long> allocations{0};
}

// These replacements pair malloc with free; GCC cannot see that through
// inlined new/delete expressions and warns.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size) {
  ++allocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

TEST(AudioAllocation, GateBlocksAllocateNothing) {
  TestGate gate;
  gate.Open();
  std::vector<double> left(512, 0.3), right(512, -0.3), outLeft(512), outRight(512);
  double* in[2] = {left.data(), right.data()};
  double* out[2] = {outLeft.data(), outRight.data()};
  gate.stored.reserve(64);
  for (int target = 0; target < 4; ++target) {
    gate.Set(kTarget, target);
    gate.EditBar(3, 1);  // packed by the next block
    const long before = allocations.load();
    for (int block = 0; block < 40; ++block) {
      gate.clock += block == 20 ? 600 : 11;  // one pause: realignment
      gate.ProcessGateBlock(in, out, 512);
    }
    EXPECT_EQ(allocations.load() - before, 0) << "target " << target;
  }
  EXPECT_EQ(gate.stored.size(), 28u);  // the probe itself saw each packing
}

TEST(AudioAllocation, CounterSeesAllocations) {
  const long before = allocations.load();
  std::vector<int>* v = new std::vector<int>(10);
  delete v;
  EXPECT_GE(allocations.load() - before, 2);
}

}  // namespace
