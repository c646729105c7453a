#include "lv2/ttl_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

std::string TtlNumber(double value) {
  char text[64];
  if (std::nearbyint(value) == value && std::fabs(value) < 1e15) {
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
  }
  // The fewest digits that read back as the same double.
  for (int digits = 6; digits <= 17; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    if (std::strtod(text, nullptr) == value) break;
  }
  std::string number = text;
  // A bare integer mantissa would read as an integer literal.
  if (number.find_first_of(".eE") == std::string::npos) number += ".0";
  return number;
}

std::string TtlString(const char* text) {
  std::string quoted = "\"";
  for (const char* c = text; *c; ++c) {
    const unsigned char u = static_cast<unsigned char>(*c);
    if (*c == '"' || *c == '\\') {
      quoted += '\\';
      quoted += *c;
    } else if (u < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04X", u);
      quoted += escape;
    } else {
      quoted += *c;
    }
  }
  return quoted + "\"";
}

std::string PortSymbolOfTitle(const char* title) {
  std::string symbol;
  for (const char* c = title; *c; ++c) {
    const char ch = *c;
    if (ch >= 'A' && ch <= 'Z') {
      symbol += static_cast<char>(ch - 'A' + 'a');
    } else if ((ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9')) {
      symbol += ch;
    } else {
      symbol += '_';
    }
  }
  if (symbol.empty() || (symbol[0] >= '0' && symbol[0] <= '9')) symbol.insert(0, "_");
  return symbol;
}
