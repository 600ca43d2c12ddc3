#include "shell/win32/text_codec.h"

#include <windows.h>

#include <cwchar>

namespace romprog::win32 {
namespace {

constexpr UINT kCodePage = 1251;

}  // namespace

std::wstring Widen(const Text& text) {
  if (text.empty()) return std::wstring();
  const int size = static_cast<int>(text.size());
  const int wide = MultiByteToWideChar(kCodePage, 0, text.data(), size, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(wide), L'\0');
  MultiByteToWideChar(kCodePage, 0, text.data(), size, out.data(), wide);
  return out;
}

Text Narrow(const std::wstring& text) {
  if (text.empty()) return Text();
  const int size = static_cast<int>(text.size());
  const int bytes =
      WideCharToMultiByte(kCodePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  Text out(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(kCodePage, 0, text.data(), size, out.data(), bytes, nullptr, nullptr);
  return out;
}

Text Narrow(const wchar_t* text) {
  return Narrow(std::wstring(text, std::wcslen(text)));
}

}  // namespace romprog::win32
