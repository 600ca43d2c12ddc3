// Keeps what the device did: a log line per exchange and the chip file
// rewritten after every exchange that changed cells.
#pragma once

#include <cstdio>
#include <string>

#include "sim/device/device_model.h"

namespace romprog::sim {

// "command=0x21 bytes=100 acks=99 ending=bad-cell address=99 programmed=99"
std::string FormatExchange(const ExchangeLog& log);

class ExchangeRecorder {
 public:
  // Empty paths: no log, no chip file.
  ExchangeRecorder(std::string logPath, std::string chipPath);
  ~ExchangeRecorder();
  ExchangeRecorder(const ExchangeRecorder&) = delete;
  ExchangeRecorder& operator=(const ExchangeRecorder&) = delete;

  bool Open(std::string& error);
  // Records the exchanges that ended since the last call.
  void CatchUp(const DeviceModel& model);
  // One line of what happened on the line besides exchanges (an RTS edge).
  void Note(const std::string& line);
  bool failed() const { return failed_; }

 private:
  std::string logPath_;
  std::string chipPath_;
  std::FILE* log_ = nullptr;
  std::size_t recorded_ = 0;
  bool failed_ = false;
};

}  // namespace romprog::sim
