#include "engine/StateTextScanner.h"

#include <cstdint>
#include <limits>

namespace velmora {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

}  // namespace

StateTextScanner::Event StateTextScanner::Next() {
  size_t start = position_;
  while (position_ < text_.size()) {
    const char c = text_[position_++];
    if (c == ' ') {
      token_ = text_.substr(start, position_ - 1 - start);
      return Event::Token;
    }
    if (c == ',' && commas_) return Event::Comma;
  }
  return Event::End;
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
  if (i == firstDigit) return StateTextResult::InvalidNumber;
  const std::int64_t signedValue = negative ? -magnitude : magnitude;
  if (signedValue < std::numeric_limits<std::int32_t>::min() || signedValue > std::numeric_limits<std::int32_t>::max()) {
    return StateTextResult::OutOfRange;
  }
  value = static_cast<int>(signedValue);
  return StateTextResult::Ok;
}

}  // namespace velmora
