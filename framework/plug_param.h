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

  // The rules every plug-in format shares: what this parameter stores for a
  // value, a host position or a text. Display, engine and saved state all
  // see the same stored value, so formats call these instead of rounding
  // on their own.
  //
  // `value` (own units) rounded to a whole multiple of the step, counted from
  // 0, for every kind but real; then clamped to [min, max]. NaN carries no
  // value and yields the current one.
  double SnapToStep(double value) const;
  // The value the position `normalized` stands for: the position held to
  // 0..1 (NaN as 0), the curve applied, then SnapToStep.
  double ValueFromNormalized(double normalized) const;
  // The value typed or host text stands for: ParseValueText, then SnapToStep.
  double ValueFromText(const char* text) const;
  // Steps across the range, (max - min) / step, for stepped kinds; 0 for real.
  int32_t StepCount() const;
  // A boolean, or an integer or enumerated parameter with two values: an
  // on/off switch to a host.
  bool IsTwoState() const;

  // Stores ValueFromNormalized(normalized).
  void SetFromNormalized(double normalized);
  // Clamps to [min, max] and applies the inverse curve.
  double ToNormalized(double value) const;
  double GetNormalized() const { return ToNormalized(value_); }
  void GetRange(double* min, double* max) const;

  // Text for a value in units, or for a normalised position (which names
  // ValueFromNormalized, the value setting that position stores). `text` must
  // hold at least `size` bytes; the result is always terminated.
  void FormatValue(double value, bool isNormalized, char* text, int size) const;
  // Value in units for typed text, neither rounded nor clamped: a display
  // text's value, else the leading decimal number (0 when none). Stores go
  // through ValueFromText.
  double ParseValueText(const char* text) const;

  ParamKind Kind() const { return kind_; }
  void SetKind(ParamKind kind) { kind_ = kind; }
  double Value() const { return value_; }
  // The value the Setup call gave; a state without this parameter's value
  // restores it.
  double DefaultValue() const { return defaultValue_; }
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
  double defaultValue_ = 0.0;
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
