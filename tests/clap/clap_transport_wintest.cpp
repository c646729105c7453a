// The CLAP transport tests of clap_transport_test.cpp, built with the Windows toolchain.
#include "clap_transport_test.cpp"
