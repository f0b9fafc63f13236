#include "engine/StateTextScanner.h"

#include <cstdint>
#include <limits>

namespace velmora {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

}  // namespace

StateTextScanner::Event StateTextScanner::Next() {
  size_t start = mPosition;
  while (mPosition < mText.size()) {
    const char c = mText[mPosition++];
    if (c == ' ') {
      mToken = mText.substr(start, mPosition - 1 - start);
      return Event::kToken;
    }
    if (c == ',' && mCommas) return Event::kComma;
  }
  return Event::kEnd;
}

StateTextResult ConvertToken(std::string_view token, int& value) {
  size_t i = 0;
  while (i < token.size() && IsBlank(token[i])) ++i;
  bool negative = false;
  if (i < token.size() && (token[i] == '+' || token[i] == '-')) negative = token[i++] == '-';
  const size_t firstDigit = i;
  // Saturates just past the int32 range, so long digit runs cannot overflow.
  const std::int64_t limit = static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1;
  std::int64_t magnitude = 0;
  while (i < token.size() && token[i] >= '0' && token[i] <= '9') {
    if (magnitude <= limit) magnitude = magnitude * 10 + (token[i] - '0');
    ++i;
  }
  if (i == firstDigit) return StateTextResult::kInvalidNumber;
  const std::int64_t signedValue = negative ? -magnitude : magnitude;
  if (signedValue < std::numeric_limits<std::int32_t>::min() || signedValue > std::numeric_limits<std::int32_t>::max()) {
    return StateTextResult::kOutOfRange;
  }
  value = static_cast<int>(signedValue);
  return StateTextResult::kOk;
}

}  // namespace velmora
