// How the test host's CLAP mode turns the script's normalised positions
// into the plain values a CLAP plug-in takes, and back: linear across the
// parameter's range, stepped parameters rounded to the nearest whole step
// (halves up), as the VST 3 controller's conversion rounds. [any thread]
#pragma once

#include <clap/ext/params.h>

double ClapPlainOfNormalized(const clap_param_info_t& info, double normalized);
double ClapNormalizedOfPlain(const clap_param_info_t& info, double plain);
