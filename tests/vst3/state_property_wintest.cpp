// The state property test, built with the Windows toolchain.
#include "state_property_test.cpp"
