#include "platform/file_io.h"

#include <windows.h>

#include <string>

namespace romprog {
namespace {

constexpr int kTemporaryNameTries = 100;
constexpr UINT kCodePage1251 = 1251;
// ReadFile and WriteFile take 32-bit counts; larger requests go in pieces.
constexpr std::size_t kMaxPiece = 1u << 30;

// The dialogs hand back Windows-1251 text whatever the system code page is.
std::wstring Wide(const Text& text) {
  if (text.empty()) return {};
  const int length =
      MultiByteToWideChar(kCodePage1251, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(kCodePage1251, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                      length);
  return wide;
}

HANDLE AsHandle(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

bool WriteAll(HANDLE file, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const DWORD piece = static_cast<DWORD>(size < kMaxPiece ? size : kMaxPiece);
    DWORD written = 0;
    if (!WriteFile(file, data, piece, &written, nullptr) || written == 0) return false;
    data += written;
    size -= written;
  }
  return true;
}

// A new, empty file next to `path` that no one else uses.
HANDLE CreateTemporary(const std::wstring& path, std::wstring& name) {
  for (int n = 0; n < kTemporaryNameTries; ++n) {
    name = path + L".~" + std::to_wstring(n);
    HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

// The system's words for `code`, without the line end and full stop Windows adds.
Text SystemText(DWORD code) {
  char text[512] = {};
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, code, 0, text, sizeof text, nullptr);
  Text said(text, length);
  while (!said.empty() && (said.back() == '\r' || said.back() == '\n' || said.back() == '.')) {
    said.pop_back();
  }
  return said.empty() ? "error " + std::to_string(code) : said;
}

}  // namespace

InputFile::InputFile(const Text& path) {
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    handle_ = reinterpret_cast<std::intptr_t>(file);
  } else {
    error_ = GetLastError();
  }
}

InputFile::~InputFile() {
  if (IsOpen()) CloseHandle(AsHandle(handle_));
}

std::int64_t InputFile::Size() {
  LARGE_INTEGER size{};
  if (!IsOpen()) return -1;
  if (!GetFileSizeEx(AsHandle(handle_), &size)) {
    error_ = GetLastError();
    return -1;
  }
  return static_cast<std::int64_t>(size.QuadPart);
}

std::int64_t InputFile::Read(std::uint8_t* data, std::size_t size) {
  if (!IsOpen()) return -1;
  const DWORD piece = static_cast<DWORD>(size < kMaxPiece ? size : kMaxPiece);
  DWORD got = 0;
  if (!ReadFile(AsHandle(handle_), data, piece, &got, nullptr)) {
    error_ = GetLastError();
    return -1;
  }
  return got;
}

Text InputFile::Problem() const {
  return error_ != 0 ? SystemText(static_cast<DWORD>(error_)) : Text();
}

bool WriteWholeFile(const Text& path, const std::uint8_t* data, std::size_t size) {
  Text ignored;
  return WriteWholeFile(path, data, size, ignored);
}

bool WriteWholeFile(const Text& path, const std::uint8_t* data, std::size_t size, Text& problem) {
  problem.clear();
  const std::wstring target = Wide(path);
  std::wstring temporary;
  HANDLE file = CreateTemporary(target, temporary);
  if (file == INVALID_HANDLE_VALUE) {
    problem = SystemText(GetLastError());
    return false;
  }
  // The first step that fails names the problem.
  const auto step = [&problem](BOOL done) {
    if (!done && problem.empty()) problem = SystemText(GetLastError());
    return done != FALSE;
  };
  bool ok = step(WriteAll(file, data, size));
  ok = step(FlushFileBuffers(file)) && ok;
  ok = step(CloseHandle(file)) && ok;
  ok = ok && step(MoveFileExW(temporary.c_str(), target.c_str(),
                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
  if (!ok) DeleteFileW(temporary.c_str());
  return ok;
}

namespace {

// The volume and index that tell a file apart from every other; false when
// it does not open.
bool FileIdentity(const Text& path, BY_HANDLE_FILE_INFORMATION& info) {
  const HANDLE file =
      CreateFileW(Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool known = GetFileInformationByHandle(file, &info) != 0;
  CloseHandle(file);
  return known;
}

}  // namespace

bool SameFile(const Text& a, const Text& b) {
  BY_HANDLE_FILE_INFORMATION first{}, second{};
  if (!FileIdentity(a, first) || !FileIdentity(b, second)) return false;
  return first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
         first.nFileIndexHigh == second.nFileIndexHigh &&
         first.nFileIndexLow == second.nFileIndexLow;
}

}  // namespace romprog
