// UTF-8 on the wire, UTF-16 towards Win32, and the small JSON the driver answers in.
#pragma once

#include <string>
#include <vector>

namespace romdrive {

std::wstring FromUtf8(const std::string& text);
std::string ToUtf8(const std::wstring& text);

// Splits a command line into words; a word in double quotes is a JSON string
// (so titles with leading blanks and texts with spaces pass unharmed).
bool SplitWords(const std::string& line, std::vector<std::wstring>& words, std::string& error);

// Builds one JSON object, key by key.
class Json {
 public:
  Json& Str(const char* key, const std::wstring& value);
  Json& Int(const char* key, long long value);
  Json& Bool(const char* key, bool value);
  Json& Raw(const char* key, const std::string& json);
  std::string Done() const { return "{" + body_ + "}"; }

 private:
  void Key(const char* key);
  std::string body_;
};

std::string Quote(const std::wstring& value);
std::string StrArray(const std::vector<std::wstring>& values);

}  // namespace romdrive
