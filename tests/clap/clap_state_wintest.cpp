// The CLAP state tests of clap_state_test.cpp, built with the Windows toolchain.
#include "clap_state_test.cpp"
