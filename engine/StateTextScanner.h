#pragma once

#include <string_view>

#include "engine/ChordEngine.h"

namespace velmora {

// Splits a state text: a space ends a token; where commas separate, a comma
// is an event of its own and drops what was collected since the last space.
// Characters after the last separator are never a token. Tokens are views
// into the text, so any length of input costs no allocation.
class StateTextScanner {
 public:
  enum class Event { kToken, kComma, kEnd };

  StateTextScanner(std::string_view text, bool commaSeparates) : mText(text), mCommas(commaSeparates) {}

  Event Next();
  std::string_view Token() const { return mToken; }

 private:
  std::string_view mText;
  bool mCommas;
  size_t mPosition = 0;
  std::string_view mToken;
};

// Optional leading white space, optional sign, decimal digits; anything after
// the digits is ignored. No digits: InvalidNumber; beyond int32: OutOfRange.
StateTextResult ConvertToken(std::string_view token, int& value);

}  // namespace velmora
