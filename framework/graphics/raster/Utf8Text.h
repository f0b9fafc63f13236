#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmora {

// The characters the text drawer sees in a UTF-8 byte string: a valid 2- or
// 3-byte sequence is one character, a 4-byte sequence counts as a space, any
// other byte stands for itself (as a Latin-1 character).
std::vector<std::uint32_t> DecodeTextCharacters(const char* text, std::size_t length);

}  // namespace velmora
