// The CLAP process tests of clap_process_test.cpp, built with the Windows toolchain.
#include "clap_process_test.cpp"
