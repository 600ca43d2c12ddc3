// A byte source that hands out scripted pieces, for the readers' tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <string>

#include "core/byte_source.h"

namespace romprog::testing {

// Hands out scripted pieces; a piece of -1 is a read error.
class ScriptedSource : public ByteSource {
 public:
  ScriptedSource(std::string content, std::deque<int> pieces)
      : content_(std::move(content)), pieces_(std::move(pieces)) {}
  std::int64_t Read(std::uint8_t* data, std::size_t size) override {
    if (pieces_.empty()) return 0;
    const int piece = pieces_.front();
    pieces_.pop_front();
    if (piece < 0) return -1;
    const std::size_t n = std::min({static_cast<std::size_t>(piece), size, content_.size() - at_});
    std::memcpy(data, content_.data() + at_, n);
    at_ += n;
    return static_cast<std::int64_t>(n);
  }

 private:
  std::string content_;
  std::deque<int> pieces_;
  std::size_t at_ = 0;
};

}  // namespace romprog::testing
