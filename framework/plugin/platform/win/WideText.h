#pragma once

// Paths live as UTF-8 everywhere else; Windows' narrow calls would read them
// in the ANSI code page, so the Windows files cross to UTF-16 here.
#include <windows.h>

#include <string>

namespace velmora {

inline std::wstring Utf8ToWide(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(std::size_t(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), wide.data(), length);
  return wide;
}

inline std::string WideToUtf8(const wchar_t* text, std::size_t length) {
  if (text == nullptr || length == 0) return std::string();
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, int(length), nullptr, 0, nullptr, nullptr);
  if (size <= 0) return std::string();
  std::string utf8(std::size_t(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, int(length), utf8.data(), size, nullptr, nullptr);
  return utf8;
}

inline std::string WideToUtf8(const std::wstring& text) { return WideToUtf8(text.data(), text.size()); }

}  // namespace velmora
