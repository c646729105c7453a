#include "framework/plug_param.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "framework/text_copy.h"

namespace {

// Truncation toward zero that stays defined for values outside int's range.
int TruncateToInt(double v) {
  if (!(v == v)) return 0;
  if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(v);
}

}  // namespace

void IPlugParam::CommonSetup(const char* name, double defaultValue, double min, double max,
                             double step, const char* label) {
  CopyTextBounded(name_, name, sizeof name_);
  CopyTextBounded(label_, label, sizeof label_);
  min_ = min;
  value_ = defaultValue;
  defaultValue_ = defaultValue;
  max_ = (min + step <= max) ? max : min + step;
  step_ = step;

  displayPrecision_ = 0;
  double working = step;
  while (std::isfinite(working) && working != std::floor(working) &&
         displayPrecision_ < kMaxDisplayPrecision) {
    ++displayPrecision_;
    working *= 10.0;
  }
}

void IPlugParam::SetupReal(const char* name, double defaultValue, double min, double max,
                           double step, const char* label) {
  if (kind_ == kParamKindNone) kind_ = kParamReal;
  CommonSetup(name, defaultValue, min, max, step, label);
}

void IPlugParam::SetupInt(const char* name, int defaultValue, int min, int max, const char* label) {
  if (kind_ == kParamKindNone) kind_ = kParamInt;
  CommonSetup(name, defaultValue, min, max, 1.0, label);
}

void IPlugParam::SetupEnum(const char* name, int defaultValue, int entryCount, const char* label) {
  if (kind_ == kParamKindNone) kind_ = kParamEnum;
  CommonSetup(name, defaultValue, 0.0, entryCount - 1.0, 1.0, label);
}

void IPlugParam::SetCurveExponent(double e) {
  if (e != 0.0) curveExponent_ = e;
}

void IPlugParam::AddDisplayText(int value, const char* text) {
  if (displayTexts_.size() == displayTexts_.capacity()) {
    displayTexts_.reserve(displayTexts_.size() + 4096 / sizeof(ParamDisplayText));
  }
  ParamDisplayText record = {};
  record.value = value;
  CopyTextBounded(record.text, text, sizeof record.text);
  displayTexts_.push_back(record);
}

const char* IPlugParam::DisplayTextFor(int value) const {
  for (const ParamDisplayText& record : displayTexts_) {
    if (record.value == value) return record.text;
  }
  return "";
}

bool IPlugParam::ValueForDisplayText(const char* text, double* value) const {
  if (!text) return false;
  for (const ParamDisplayText& record : displayTexts_) {
    if (strcmp(record.text, text) == 0) {
      if (value) *value = record.value;
      return true;
    }
  }
  return false;
}

double IPlugParam::SnapToStep(double value) const {
  if (!(value == value)) return value_;
  if (kind_ != kParamReal && step_ > 0.0) value = std::floor(value / step_ + 0.5) * step_;
  if (value > max_) value = max_;
  if (value < min_) value = min_;
  return value;
}

double IPlugParam::ValueFromNormalized(double normalized) const {
  // Hosts may send positions outside 0..1 (or NaN); only 0..1 has a meaning.
  if (!(normalized >= 0.0)) normalized = 0.0;
  if (normalized > 1.0) normalized = 1.0;
  return SnapToStep(std::pow(normalized, curveExponent_) * (max_ - min_) + min_);
}

double IPlugParam::ValueFromText(const char* text) const {
  return SnapToStep(ParseValueText(text));
}

int32_t IPlugParam::StepCount() const {
  if (kind_ == kParamReal || !(step_ > 0.0)) return 0;
  const double steps = std::floor((max_ - min_) / step_ + 0.5);
  return steps >= static_cast<double>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(steps);
}

bool IPlugParam::IsTwoState() const {
  const bool stepped = kind_ == kParamInt || kind_ == kParamEnum;
  return kind_ == kParamBool || (stepped && std::fabs(max_ - min_) < 1.5);
}

void IPlugParam::SetFromNormalized(double normalized) { value_ = ValueFromNormalized(normalized); }

double IPlugParam::ToNormalized(double value) const {
  if (max_ <= min_) return 0.0;
  if (value < min_) value = min_;
  if (value > max_) value = max_;
  if (!(value == value)) value = min_;
  return std::pow((value - min_) / (max_ - min_), 1.0 / curveExponent_);
}

void IPlugParam::GetRange(double* min, double* max) const {
  if (min) *min = min_;
  if (max) *max = max_;
}

void IPlugParam::SetValueClamped(double value) {
  if (!(value == value)) return;  // NaN carries no value to keep
  if (value < min_) value = min_;
  if (value > max_) value = max_;
  value_ = value;
}

void IPlugParam::FormatValue(double value, bool isNormalized, char* text, int size) const {
  if (!text || size <= 0) return;
  double v = isNormalized ? ValueFromNormalized(value) : value;

  const int key = TruncateToInt(v);
  for (const ParamDisplayText& record : displayTexts_) {
    if (record.value != key) continue;
    if (record.text[0]) {
      CopyTextBounded(text, record.text, static_cast<size_t>(size));
      return;
    }
    break;  // an empty text falls back to the number
  }

  if (negateDisplay_) v = -v;
  if (v == 0.0) {
    CopyTextBounded(text, "0", static_cast<size_t>(size));
  } else if (displayPrecision_ == 0) {
    snprintf(text, static_cast<size_t>(size), "%d", TruncateToInt(v));
  } else {
    snprintf(text, static_cast<size_t>(size), "%.*f", displayPrecision_, v);
  }
}

double IPlugParam::ParseValueText(const char* text) const {
  if (!text) return 0.0;
  double value = 0.0;
  if (!displayTexts_.empty() && ValueForDisplayText(text, &value)) return value;
  value = strtod(text, nullptr);
  return negateDisplay_ ? -value : value;
}
