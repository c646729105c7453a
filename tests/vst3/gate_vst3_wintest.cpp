// The VST 3 object tests of gate_vst3_test.cpp, built with the Windows toolchain.
#include "gate_vst3_test.cpp"
