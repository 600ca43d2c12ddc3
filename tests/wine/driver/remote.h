// A block of memory inside the driven program, for messages that carry
// pointers (the list view's LVM_GET* messages are not marshalled).
#pragma once

#include <windows.h>

#include <cstddef>

namespace romdrive {

class RemoteBlock {
 public:
  RemoteBlock(DWORD pid, std::size_t size);
  ~RemoteBlock();
  RemoteBlock(const RemoteBlock&) = delete;
  RemoteBlock& operator=(const RemoteBlock&) = delete;

  bool ok() const { return address_ != nullptr; }
  void* address() const { return address_; }
  bool Write(std::size_t offset, const void* data, std::size_t size);
  bool Read(std::size_t offset, void* data, std::size_t size);

 private:
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
};

}  // namespace romdrive
