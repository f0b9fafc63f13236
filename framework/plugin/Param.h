#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

enum class ParamKind : int32_t { kNone = 0, kBool = 1, kInt = 2, kEnum = 3, kDouble = 4 };

// One automatable parameter. Values travel normalised (0..1) between host,
// editor and plug-in and are stored as real values.
//
// Threads: [any, under the plug-in lock]; a Param has no lock of its own.
class Param {
 public:
  // Names, labels and value texts live in 32-byte buffers in stored
  // layouts; longer texts are cut to this many bytes.
  static constexpr int kMaxTextLength = 31;
  static constexpr int kMaxDisplayPrecision = 6;

  struct ValueText {
    int32_t value = 0;
    std::string text;
  };

  Param() = default;

  void DefineDouble(const char* name, double defaultValue, double minimum, double maximum,
                    double step, const char* label = "", double shape = 1.0);
  void DefineInt(const char* name, int defaultValue, int minimum, int maximum,
                 const char* label = "");
  void DefineBool(const char* name, bool defaultValue);
  void AddValueText(int value, const char* text);
  // How hosts list the parameter: a short label (up to 7 characters shown)
  // and the name of the group it belongs to ("" for none).
  void SetHostPresentation(const char* shortLabel, const char* category);

  // A NaN goes to the minimum so that nothing unordered passes the clamp.
  double Clamp(double v) const;
  void SetClamped(double v);
  double ToNormalized() const { return ToNormalized(mValue); }
  double ToNormalized(double v) const;
  // Real value for a normalised one, without step rounding or clamping.
  double FromNormalized(double normalized) const;
  double SetFromNormalized(double normalized);

  std::string FormatValue(double v, bool normalized, bool useValueTexts) const;
  const char* UnitLabel() const;
  bool ValueFromText(const char* text, double* value) const;

  ParamKind Kind() const { return mKind; }
  double Value() const { return mValue; }
  double Min() const { return mMin; }
  double Max() const { return mMax; }
  double Step() const { return mStep; }
  double Shape() const { return mShape; }
  double Default() const { return mDefault; }
  int DisplayPrecision() const { return mDisplayPrecision; }
  const char* Name() const { return mName.c_str(); }
  const char* Label() const { return mLabel.c_str(); }
  const char* ShortLabel() const { return mShortLabel.c_str(); }
  const char* Category() const { return mCategory.c_str(); }
  // Whether a host may record and replay it (a one-shot action must not be:
  // playback would repeat the press at every pass).
  bool IsAutomatable() const { return mAutomatable; }
  void SetAutomatable(bool automatable) { mAutomatable = automatable; }
  // The value below the range a drop-down keeps for "nothing chosen".
  void SetToDefault() { mValue = mDefault; }
  bool NegateDisplay() const { return mNegateDisplay; }
  void SetNegateDisplay(bool negate) { mNegateDisplay = negate; }
  int NValueTexts() const { return static_cast<int>(mValueTexts.size()); }
  const ValueText* ValueTextAt(int i) const;
  // The text shown for v (truncated toward zero), or null when none.
  const char* ValueTextFor(double v) const;

 private:
  const ValueText* FindValueText(double v) const;

  ParamKind mKind = ParamKind::kNone;
  double mValue = 0.0;
  double mMin = 0.0;
  double mMax = 1.0;
  double mStep = 1.0;
  double mShape = 1.0;
  double mDefault = 0.0;
  int mDisplayPrecision = 0;
  std::string mName;
  std::string mLabel;
  std::string mShortLabel;
  std::string mCategory;
  bool mNegateDisplay = false;
  bool mAutomatable = true;
  std::vector<ValueText> mValueTexts;
};

}  // namespace velmora
