// The CLAP params tests of clap_params_test.cpp, built with the Windows toolchain.
#include "clap_params_test.cpp"
