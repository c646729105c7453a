// Plain records shared by the editor view and its controls. All are copied
// freely; none owns what it points to.
#pragma once

#include <cstdint>

class Bitmap;
class GdiFont;

// A rectangle in editor pixels. For drawing, right and bottom are exclusive;
// for hit tests both edges belong to it. All-zero means empty.
struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
  bool IsEmpty() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  // Both edges included, as hit tests want it.
  bool Contains(int32_t x, int32_t y) const {
    return x >= left && x <= right && y >= top && y <= bottom;
  }
  bool operator==(const Rect& other) const {
    return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
  }
  bool operator!=(const Rect& other) const { return !(*this == other); }
};

// Union where an all-zero rectangle counts as empty.
Rect UnionRect(const Rect& a, const Rect& b);
// Strict overlap of two non-empty rectangles, all zero otherwise.
Rect IntersectRect(const Rect& a, const Rect& b);

// Colour channels 0..255, written (A, R, G, B).
struct Colour {
  int32_t A = 255;
  int32_t R = 0;
  int32_t G = 0;
  int32_t B = 0;

  // The library's pixel word A<<24 | R<<16 | G<<8 | B.
  uint32_t Packed() const {
    return (static_cast<uint32_t>(A & 255) << 24) | (static_cast<uint32_t>(R & 255) << 16) |
           (static_cast<uint32_t>(G & 255) << 8) | static_cast<uint32_t>(B & 255);
  }
};

// How an image or fill is composed over the back buffer.
struct Blend {
  enum Kind : int32_t { kSourceAlpha = 0, kCopy = 1, kAdd = 2, kDodge = 3 };
  int32_t kind = kSourceAlpha;
  float weight = 1.0f;
};

// A borrowed library bitmap with the number of equal frames it holds.
struct BitmapRef {
  Bitmap* bitmap = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t frames = 1;
};

// A font description; the font itself is created once and kept by the font
// cache, the style only remembers it.
struct TextStyle {
  enum Style : int32_t { kBold = 1, kItalic = 2 };
  enum Align : int32_t { kLeft = 0, kCentre = 1, kRight = 2 };
  enum Quality : int32_t { kDefault = 0, kNonAntialiased = 1, kAntialiased = 2, kClearType = 3 };

  char face[32] = "Arial";
  int32_t size = 12;
  Colour colour;
  int32_t style = 0;
  int32_t alignment = kLeft;
  int32_t orientation = 0;
  int32_t quality = kDefault;
  GdiFont* cachedFont = nullptr;

  TextStyle() = default;
  TextStyle(const char* faceName, int32_t fontSize, Colour textColour, int32_t fontStyle = 0,
            int32_t align = kLeft, int32_t orientationDegrees = 0, int32_t fontQuality = kDefault);
};

// Keys the editor understands, as the window maps them.
enum KeyCode : int32_t {
  kKeySpace = 0,
  kKeyUp = 1,
  kKeyDown = 2,
  kKeyLeft = 3,
  kKeyRight = 4,
  kKeyDigit0 = 5,    // ... kKeyDigit0 + 9 is the digit 9
  kKeyLetterA = 15,  // ... kKeyLetterA + 25 is the letter Z
  kKeyReturn = 41,
  kKeyEscape = 42
};

constexpr KeyCode LetterKey(char upperCase) {
  return static_cast<KeyCode>(kKeyLetterA + (upperCase - 'A'));
}

// Modifier keys held with a key. Ctrl stands for the command key too.
struct KeyMods {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

// Buttons and modifier keys held during a mouse event: left, right, Shift,
// Control, Alt.
struct MouseMods {
  bool L = false;
  bool R = false;
  bool S = false;
  bool C = false;
  bool A = false;
};
