// Turtle text pieces for the bundle's description: numbers, quoted strings
// and port symbols. [build tool]
#pragma once

#include <string>

// A number as a Turtle literal: whole numbers with ".0", others as many
// digits as the value needs to read back exactly.
std::string TtlNumber(double value);
// A quoted Turtle string with quotes, backslashes and control characters escaped.
std::string TtlString(const char* text);
// A port symbol from a parameter's title: lower case, every character
// other than a letter or digit becomes "_", and one that would start with
// a digit gets a leading "_".
std::string PortSymbolOfTitle(const char* title);
