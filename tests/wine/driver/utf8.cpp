#include "tests/wine/driver/utf8.h"

#include <windows.h>

#include <cstdio>

namespace romdrive {

std::wstring FromUtf8(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int size = static_cast<int>(text.size());
  const int wide = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(wide), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), size, out.data(), wide);
  return out;
}

std::string ToUtf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int size = static_cast<int>(text.size());
  const int bytes =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), bytes, nullptr, nullptr);
  return out;
}

namespace {

bool ParseQuoted(const std::wstring& line, std::size_t& i, std::wstring& word) {
  for (++i; i < line.size(); ++i) {
    wchar_t c = line[i];
    if (c == L'"') {
      ++i;
      return true;
    }
    if (c != L'\\') {
      word += c;
      continue;
    }
    if (++i >= line.size()) return false;
    switch (line[i]) {
      case L'n':
        word += L'\n';
        break;
      case L'r':
        word += L'\r';
        break;
      case L't':
        word += L'\t';
        break;
      case L'u': {
        if (i + 4 >= line.size()) return false;
        word += static_cast<wchar_t>(std::wcstoul(line.substr(i + 1, 4).c_str(), nullptr, 16));
        i += 4;
        break;
      }
      default:
        word += line[i];
        break;
    }
  }
  return false;
}

}  // namespace

bool SplitWords(const std::string& utf8, std::vector<std::wstring>& words, std::string& error) {
  const std::wstring line = FromUtf8(utf8);
  std::size_t i = 0;
  while (i < line.size()) {
    if (line[i] == L' ' || line[i] == L'\t' || line[i] == L'\r' || line[i] == L'\n') {
      ++i;
      continue;
    }
    std::wstring word;
    if (line[i] == L'"') {
      if (!ParseQuoted(line, i, word)) {
        error = "unterminated string";
        return false;
      }
    } else {
      while (i < line.size() && line[i] != L' ' && line[i] != L'\t' && line[i] != L'\r' &&
             line[i] != L'\n') {
        word += line[i++];
      }
    }
    words.push_back(word);
  }
  return true;
}

std::string Quote(const std::wstring& value) {
  std::string out = "\"";
  for (wchar_t c : value) {
    switch (c) {
      case L'"':
        out += "\\\"";
        break;
      case L'\\':
        out += "\\\\";
        break;
      case L'\n':
        out += "\\n";
        break;
      case L'\r':
        out += "\\r";
        break;
      case L'\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20) {
          char escape[8];
          std::snprintf(escape, sizeof(escape), "\\u%04x", static_cast<unsigned>(c));
          out += escape;
        } else {
          out += ToUtf8(std::wstring(1, c));
        }
    }
  }
  return out + "\"";
}

std::string StrArray(const std::vector<std::wstring>& values) {
  std::string out = "[";
  for (std::size_t i = 0; i < values.size(); ++i) out += (i ? "," : "") + Quote(values[i]);
  return out + "]";
}

void Json::Key(const char* key) {
  if (!body_.empty()) body_ += ",";
  body_ += "\"" + std::string(key) + "\":";
}

Json& Json::Str(const char* key, const std::wstring& value) {
  Key(key);
  body_ += Quote(value);
  return *this;
}

Json& Json::Int(const char* key, long long value) {
  Key(key);
  body_ += std::to_string(value);
  return *this;
}

Json& Json::Bool(const char* key, bool value) {
  Key(key);
  body_ += value ? "true" : "false";
  return *this;
}

Json& Json::Raw(const char* key, const std::string& json) {
  Key(key);
  body_ += json;
  return *this;
}

}  // namespace romdrive
