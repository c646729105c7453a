// The MIDI input tests of midi_input_test.cpp, built with the Windows toolchain.
#include "midi_input_test.cpp"
