#include "gui/clipboard_text.h"

#include <cstdint>

namespace {

// The sequence length a lead byte announces, 0 for a byte that cannot lead.
int SequenceLength(uint8_t lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

}  // namespace

bool IsValidUtf8(const char* text, size_t length) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(text);
  size_t at = 0;
  while (at < length) {
    const int count = SequenceLength(bytes[at]);
    if (count == 0 || length - at < static_cast<size_t>(count)) return false;
    uint32_t code = count == 1 ? bytes[at] : bytes[at] & (0x7Fu >> count);
    for (int i = 1; i < count; ++i) {
      if ((bytes[at + i] & 0xC0) != 0x80) return false;
      code = (code << 6) | (bytes[at + i] & 0x3Fu);
    }
    // Overlong three- and four-byte forms, surrogates, beyond U+10FFFF (the
    // two-byte overlongs are the lead bytes C0 and C1, refused above).
    if (count == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) return false;
    if (count == 4 && (code < 0x10000 || code > 0x10FFFF)) return false;
    at += static_cast<size_t>(count);
  }
  return true;
}

std::string Latin1ToUtf8(const char* text, size_t length) {
  std::string result;
  result.reserve(length);
  for (size_t i = 0; i < length; ++i) {
    const auto byte = static_cast<uint8_t>(text[i]);
    if (byte < 0x80) {
      result.push_back(static_cast<char>(byte));
    } else {
      result.push_back(static_cast<char>(0xC0 | (byte >> 6)));
      result.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
  }
  return result;
}

bool Utf8ToLatin1(const std::string& text, std::string* latin1) {
  latin1->clear();
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<uint8_t>(text[i]);
    if (byte < 0x80) {
      latin1->push_back(static_cast<char>(byte));
    } else if ((byte == 0xC2 || byte == 0xC3) && i + 1 < text.size()) {
      latin1->push_back(static_cast<char>(((byte & 0x03) << 6) | (text[++i] & 0x3F)));
    } else {
      return false;
    }
  }
  return true;
}
