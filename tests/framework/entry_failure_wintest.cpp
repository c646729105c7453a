// The construction-failure walk of entry_failure_test.cpp, built with the
// Windows toolchain: its exceptions must stop at the module entry too.
#include "entry_failure_test.cpp"
