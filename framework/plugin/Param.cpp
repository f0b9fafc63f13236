#include "framework/plugin/Param.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace velmora {

namespace {

std::string CutText(const char* text) {
  if (!text) return std::string();
  return std::string(text, strnlen(text, Param::kMaxTextLength));
}

int PrecisionFromStep(double step) {
  int precision = 0;
  double working = step;
  while (working != std::floor(working) && precision < Param::kMaxDisplayPrecision) {
    ++precision;
    working *= 10.0;
  }
  return precision;
}

// Fixed-point text independent of the C locale, so that hosts that switch
// LC_NUMERIC do not change what we show or what ValueFromText accepts.
std::string FixedText(double v, int precision) {
  char text[400];  // the widest double in fixed notation needs 309 digits
  std::to_chars_result r =
      std::to_chars(text, text + sizeof(text), v, std::chars_format::fixed, precision);
  if (r.ec != std::errc()) return std::string();
  return std::string(text, r.ptr);
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The decimal number at the start of text; 0.0 when there is none.
double ReadNumber(const char* text) {
  while (IsBlank(*text)) ++text;
  if (*text == '+' && text[1] != '-' && text[1] != '+') ++text;
  const char* end = text + std::strlen(text);
  double v = 0.0;
  std::from_chars_result r = std::from_chars(text, end, v, std::chars_format::general);
  return r.ec == std::errc() ? v : 0.0;
}

}  // namespace

void Param::DefineDouble(const char* name, double defaultValue, double minimum,
                         double maximum, double step, const char* label, double shape) {
  if (mKind == ParamKind::kNone) mKind = ParamKind::kDouble;
  mName = CutText(name);
  mLabel = CutText(label);
  mMin = minimum;
  mStep = step;
  mDefault = defaultValue;
  mValue = defaultValue;
  mDisplayPrecision = PrecisionFromStep(step);
  mMax = std::max(maximum, minimum + step);
  if (shape != 0.0) mShape = shape;
}

void Param::DefineInt(const char* name, int defaultValue, int minimum, int maximum,
                      const char* label) {
  if (mKind == ParamKind::kNone) mKind = ParamKind::kInt;
  DefineDouble(name, defaultValue, minimum, maximum, 1.0, label, 1.0);
}

void Param::DefineBool(const char* name, bool defaultValue) {
  if (mKind == ParamKind::kNone) mKind = ParamKind::kBool;
  DefineDouble(name, defaultValue ? 1.0 : 0.0, 0.0, 1.0, 1.0, "", 1.0);
  AddValueText(0, "off");
  AddValueText(1, "on");
}

void Param::AddValueText(int value, const char* text) {
  mValueTexts.push_back(ValueText{value, CutText(text)});
}

double Param::Clamp(double v) const {
  if (!(v >= mMin)) return mMin;
  return std::min(v, mMax);
}

void Param::SetClamped(double v) { mValue = Clamp(v); }

double Param::ToNormalized(double v) const {
  double range = mMax - mMin;
  if (!(range > 0.0)) return 0.0;
  double normalized = std::pow((Clamp(v) - mMin) / range, 1.0 / mShape);
  return std::isnan(normalized) ? 0.0 : normalized;
}

double Param::FromNormalized(double normalized) const {
  return std::pow(normalized, mShape) * (mMax - mMin) + mMin;
}

double Param::SetFromNormalized(double normalized) {
  double v = FromNormalized(normalized);
  if (mKind != ParamKind::kDouble && mStep > 0.0) v = std::floor(v / mStep + 0.5) * mStep;
  // No lower clamp (kept from the value model), but a NaN from the host
  // must not become the stored value.
  mValue = std::isnan(v) ? mMin : std::min(v, mMax);
  return mValue;
}

const Param::ValueText* Param::FindValueText(double v) const {
  double truncated = std::trunc(v);
  for (const ValueText& entry : mValueTexts) {
    if (static_cast<double>(entry.value) == truncated) return &entry;
  }
  return nullptr;
}

std::string Param::FormatValue(double v, bool normalized, bool useValueTexts) const {
  if (normalized) v = FromNormalized(v);
  if (useValueTexts && !mValueTexts.empty()) {
    const ValueText* entry = FindValueText(v);
    if (entry && !entry->text.empty()) return entry->text;
  }
  if (mNegateDisplay) v = -v;
  if (mDisplayPrecision > 0) return FixedText(v, mDisplayPrecision);
  // Whole-number display truncates toward zero; adding 0.0 drops the sign
  // of a negative zero so that -0.7 shows as "0".
  return FixedText(std::trunc(v) + 0.0, 0);
}

const char* Param::UnitLabel() const {
  const ValueText* entry = FindValueText(mValue);
  if (entry && !entry->text.empty()) return "";
  return mLabel.c_str();
}

bool Param::ValueFromText(const char* text, double* value) const {
  if (!text || !value) return false;
  if (!mValueTexts.empty()) {
    for (const ValueText& entry : mValueTexts) {
      if (entry.text == text) {
        *value = entry.value;
        return true;
      }
    }
    return false;
  }
  double v = ReadNumber(text);
  *value = mNegateDisplay ? -v : v;
  return true;
}

const Param::ValueText* Param::ValueTextAt(int i) const {
  if (i < 0 || i >= NValueTexts()) return nullptr;
  return &mValueTexts[static_cast<size_t>(i)];
}

const char* Param::ValueTextFor(double v) const {
  const ValueText* entry = FindValueText(v);
  return entry ? entry->text.c_str() : nullptr;
}

void Param::SetHostPresentation(const char* shortLabel, const char* category) {
  mShortLabel = shortLabel ? shortLabel : "";
  mCategory = category ? category : "";
}

}  // namespace velmora
