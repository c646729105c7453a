// The chunk tests of chunk_test.cpp, built with the Windows toolchain: the
// same bytes, refusals and round trips there.
#include "chunk_test.cpp"
