// The allocation and construction-failure walks of process_allocation_test.cpp,
// built with the Windows toolchain: exceptions stop at the VST 3 boundary there too.
#include "process_allocation_test.cpp"
