// IPlugParam: one automatable value of the effect. Keeps the value in its own
// units and converts it to and from the host's normalised 0..1 position
// through a curve exponent; integer-like kinds round to their step. Owned by
// IPlugBase in a list indexed from 0. No lock of its own: every caller holds
// the instance lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

enum ParamKind : int32_t {
  kParamKindNone = 0,
  kParamBool = 1,
  kParamInt = 2,
  kParamEnum = 3,
  kParamReal = 4,
};

// One value -> text pair of a parameter's display texts.
struct ParamDisplayText {
  int32_t value;
  char text[32];
};
static_assert(sizeof(ParamDisplayText) == 36);

class IPlugParam {
 public:
  static constexpr int kNameSize = 32;
  static constexpr int kMaxDisplayPrecision = 6;

  IPlugParam() = default;

  // Initialisers. Each keeps a kind already set, otherwise sets its own.
  void SetupReal(const char* name, double defaultValue, double min, double max, double step,
                 const char* label);
  void SetupInt(const char* name, int defaultValue, int min, int max, const char* label);
  void SetupEnum(const char* name, int defaultValue, int entryCount, const char* label);

  // Stores e unless it is 0.
  void SetCurveExponent(double e);

  void AddDisplayText(int value, const char* text);
  int32_t DisplayTextCount() const { return static_cast<int32_t>(displayTexts_.size()); }
  // The display text record at `position` (0..count-1) in the order added.
  const ParamDisplayText& DisplayTextAt(int position) const {
    return displayTexts_[static_cast<std::size_t>(position)];
  }
  // First text whose value equals `value`; "" when there is none.
  const char* DisplayTextFor(int value) const;
  // First record whose text equals `text` exactly.
  bool ValueForDisplayText(const char* text, double* value) const;

  // Curve, step rounding (kinds other than real) and upper clamp.
  void SetFromNormalized(double normalized);
  // Clamps to [min, max] and applies the inverse curve.
  double ToNormalized(double value) const;
  double GetNormalized() const { return ToNormalized(value_); }
  void GetRange(double* min, double* max) const;

  // Text for a value in units, or for a normalised position. `text` must hold
  // at least `size` bytes; the result is always terminated.
  void FormatValue(double value, bool isNormalized, char* text, int size) const;
  // Value in units for typed text: a display text's value, else the leading
  // decimal number (0 when none).
  double ParseValueText(const char* text) const;

  ParamKind Kind() const { return kind_; }
  void SetKind(ParamKind kind) { kind_ = kind; }
  double Value() const { return value_; }
  // Raw store in units; callers clamp where the path asks for it.
  void SetValue(double value) { value_ = value; }
  // Stores the value clamped to [min, max].
  void SetValueClamped(double value);
  double Min() const { return min_; }
  double Max() const { return max_; }
  double Step() const { return step_; }
  double CurveExponent() const { return curveExponent_; }
  int32_t DisplayPrecision() const { return displayPrecision_; }
  const char* Name() const { return name_; }
  const char* Label() const { return label_; }
  bool NegateDisplay() const { return negateDisplay_; }
  void SetNegateDisplay(bool negate) { negateDisplay_ = negate; }

 private:
  void CommonSetup(const char* name, double defaultValue, double min, double max, double step,
                   const char* label);

  ParamKind kind_ = kParamKindNone;
  double value_ = 0.0;
  double min_ = 0.0;
  double max_ = 1.0;
  double step_ = 1.0;
  double curveExponent_ = 1.0;
  int32_t displayPrecision_ = 0;
  char name_[kNameSize] = {};
  char label_[kNameSize] = {};
  bool negateDisplay_ = false;
  std::vector<ParamDisplayText> displayTexts_;
};
