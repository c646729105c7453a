// What the editor accepts on the system clipboard, for both windows: UTF-8
// text of at most kMaxClipboardBytes (a pattern's text is under a hundred
// bytes; anything far larger is not ours), and the Latin-1 that X's STRING
// target carries. [any thread]
#pragma once

#include <cstddef>
#include <string>

constexpr size_t kMaxClipboardBytes = 64 * 1024;

// Well-formed UTF-8: no stray or missing continuation bytes, no overlong
// forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(const char* text, size_t length);
// Every Latin-1 byte as its UTF-8 character.
std::string Latin1ToUtf8(const char* text, size_t length);
// The same backwards; false when the (valid) text holds a character beyond
// U+00FF.
bool Utf8ToLatin1(const std::string& text, std::string* latin1);
