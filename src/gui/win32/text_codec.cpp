#include "gui/win32/text_codec.h"

#include <windows.h>

#include <array>
#include <cwchar>

#include "core/windows_1251.h"

namespace romprog::win32 {
namespace {

constexpr UINT kCodePage = 1251;
constexpr DWORD kNoLookAlikes = WC_NO_BEST_FIT_CHARS;

// Windows-1251 is one byte per character, so widening is a table look-up;
// the listing converts tens of thousands of short cells per refresh.
const std::array<wchar_t, 256>& WideTable() {
  static const std::array<wchar_t, 256> table = [] {
    std::array<wchar_t, 256> t{};
    for (int i = 0; i < 256; ++i) t[i] = Unicode1251(static_cast<std::uint8_t>(i));
    return t;
  }();
  return table;
}

}  // namespace

std::wstring Widen(const Text& text) {
  const auto& table = WideTable();
  std::wstring out(text.size(), L'\0');
  for (std::size_t i = 0; i < text.size(); ++i) out[i] = table[static_cast<unsigned char>(text[i])];
  return out;
}

void WidenInto(const Text& text, wchar_t* out, std::size_t capacity) {
  if (capacity == 0) return;
  const auto& table = WideTable();
  const std::size_t length = text.size() < capacity ? text.size() : capacity - 1;
  for (std::size_t i = 0; i < length; ++i) out[i] = table[static_cast<unsigned char>(text[i])];
  out[length] = L'\0';
}

// A character the code page lacks becomes "?", never a look-alike: by default
// a chosen "café.hex" would come back as "cafe.hex", and a save would replace
// that other file. "?" cannot stand in a file name, so such a name fails
// openly; in a byte field it ends the number as any other non-digit does.
Text Narrow(const std::wstring& text) {
  if (text.empty()) return Text();
  const int size = static_cast<int>(text.size());
  const int bytes = WideCharToMultiByte(kCodePage, kNoLookAlikes, text.data(), size, nullptr, 0,
                                        nullptr, nullptr);
  Text out(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(kCodePage, kNoLookAlikes, text.data(), size, out.data(), bytes, nullptr,
                      nullptr);
  return out;
}

Text Narrow(const wchar_t* text) {
  return Narrow(std::wstring(text, std::wcslen(text)));
}

}  // namespace romprog::win32
