#include "sim/romsim/exchange_recorder.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include "core/hex_text.h"
#include "sim/romsim/chip_file.h"

namespace romprog::sim {

std::string FormatExchange(const ExchangeLog& log) {
  return "command=" + HexNumber(log.command, 2) + " bytes=" + std::to_string(log.dataBytes) +
         " acks=" + std::to_string(log.acknowledges) + " ending=" + log.ending +
         " address=" + std::to_string(log.address) +
         " programmed=" + std::to_string(log.programmed);
}

ExchangeRecorder::ExchangeRecorder(std::string logPath, std::string chipPath)
    : logPath_(std::move(logPath)), chipPath_(std::move(chipPath)) {}

ExchangeRecorder::~ExchangeRecorder() {
  if (log_ != nullptr) std::fclose(log_);
}

bool ExchangeRecorder::Open(std::string& error) {
  if (logPath_.empty()) return true;
  log_ = std::fopen(logPath_.c_str(), "ae");
  if (log_ == nullptr) error = "cannot open " + logPath_ + ": " + std::strerror(errno);
  return log_ != nullptr;
}

void ExchangeRecorder::Note(const std::string& line) {
  if (log_ == nullptr) return;
  std::fprintf(log_, "%s\n", line.c_str());
  std::fflush(log_);
}

void ExchangeRecorder::CatchUp(const DeviceModel& model) {
  const auto& all = model.exchanges();
  bool programmed = false;
  for (; recorded_ < all.size(); ++recorded_) {
    programmed = programmed || all[recorded_].programmed > 0;
    if (log_ != nullptr) std::fprintf(log_, "%s\n", FormatExchange(all[recorded_]).c_str());
  }
  if (log_ != nullptr) std::fflush(log_);
  if (!programmed || chipPath_.empty()) return;
  std::string error;
  if (!SaveChip(chipPath_, model.chip(), error)) {
    std::fprintf(stderr, "romsim: %s\n", error.c_str());
    failed_ = true;
  }
}

}  // namespace romprog::sim
