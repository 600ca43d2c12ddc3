#include "cli/base/serial_number.h"

#include <algorithm>
#include <optional>
#include <sstream>
#include <vector>

#include "cli/base/job_log.h"
#include "core/hex_text.h"
#include "core/number_text.h"

namespace romtool {
namespace {

std::vector<std::string> Split(const std::string& text, char at) {
  std::vector<std::string> parts;
  std::stringstream stream(text);
  for (std::string part; std::getline(stream, part, at);) parts.push_back(part);
  // getline drops an empty last part: "0:1:le:" must not pass for "0:1:le".
  if (!text.empty() && text.back() == at) parts.emplace_back();
  return parts;
}

// A number in any form the other numeric options take (0x1FF0, $1FF0, 1FF0h, 8k, 100).
bool Number(const std::string& text, std::uint64_t& value) {
  const std::optional<std::uint32_t> read = romprog::NumberFromText(text);
  if (read) value = *read;
  return read.has_value();
}

int Digits(std::uint64_t value) {
  int digits = 1;
  for (; value >= 10; value /= 10) ++digits;
  return digits;
}

}  // namespace

bool ParseSerialRule(const std::string& text, SerialRule& rule, std::string& error) {
  const std::vector<std::string> parts = Split(text, ':');
  std::uint64_t cell = 0, width = 0;
  rule = SerialRule();
  error = "--serial takes CELL:WIDTH[:le|be|ascii|bcd][:START], not '" + text + "'";
  // A cell past any chip is taken here and named for what it is against
  // the chip (SerialCellFault): often a CPU address.
  if (parts.size() < 2 || parts.size() > 4 || !Number(parts[0], cell) || !Number(parts[1], width) ||
      width < 1 || width > 16) {
    return false;
  }
  rule.cell = static_cast<int>(cell);
  rule.width = static_cast<int>(width);
  std::size_t next = 2;
  if (parts.size() > next && !Number(parts[next], rule.start)) {
    const std::string& word = parts[next++];
    if (word == "le") {
      rule.coding = SerialCoding::Little;
    } else if (word == "be") {
      rule.coding = SerialCoding::Big;
    } else if (word == "ascii") {
      rule.coding = SerialCoding::Ascii;
    } else if (word == "bcd") {
      rule.coding = SerialCoding::Bcd;
    } else {
      return false;
    }
  }
  if (parts.size() > next) {
    if (parts.size() > next + 1 || !Number(parts[next], rule.start)) return false;
    rule.hasStart = true;
  }
  if (rule.width > 8 && rule.coding != SerialCoding::Ascii) {
    error = "--serial: binary and BCD serials take at most 8 cells";
    return false;
  }
  error.clear();
  return true;
}

std::string SerialCellFault(const SerialRule& rule, const std::string& text,
                            const std::string& chip, int size,
                            const std::optional<std::uint32_t>& base, bool autoBase) {
  const std::uint64_t end = static_cast<std::uint64_t>(rule.cell) + rule.width;
  if (end <= static_cast<std::uint64_t>(size)) return std::string();
  const std::string fault = "--serial " + text + ": cells " +
                            romprog::HexNumber(static_cast<unsigned>(rule.cell), 4) + " to " +
                            romprog::HexNumber(end - 1, 4) + " run past the " + chip + "'s last " +
                            romprog::HexNumber(static_cast<unsigned>(size - 1), 4) +
                            "; CELL is the chip's cell, not a CPU address";
  const std::string rest = text.substr(text.find(':'));
  const auto cell = static_cast<std::uint64_t>(rule.cell);
  if (base && cell >= *base && cell + rule.width <= std::uint64_t{*base} + size) {
    const std::string mapped = romprog::HexNumber(static_cast<unsigned>(cell - *base), 4);
    return fault + ": with --base " + romprog::HexNumber(*base, 4) + " the address is cell " +
           mapped + ", --serial " + mapped + rest;
  }
  if (autoBase && cell % size + rule.width <= static_cast<std::uint64_t>(size)) {
    const std::string mapped = romprog::HexNumber(static_cast<unsigned>(cell % size), 4);
    return fault + ": where --base auto maps it, the address is cell " + mapped + ", --serial " +
           mapped + rest;
  }
  return fault;
}

std::string SerialRuleText(const SerialRule& rule, std::uint64_t start) {
  static const char* const kCodings[] = {"le", "be", "ascii", "bcd"};
  return romprog::HexNumber(static_cast<unsigned>(rule.cell), 4) + ":" +
         std::to_string(rule.width) + ":" + kCodings[static_cast<int>(rule.coding)] + ":" +
         std::to_string(start);
}

std::string SerialRuleWithoutStart(const SerialRule& rule) {
  const std::string text = SerialRuleText(rule, 0);
  return text.substr(0, text.rfind(':'));
}

bool SerialFits(const SerialRule& rule, std::uint64_t value) {
  switch (rule.coding) {
    case SerialCoding::Ascii:
      return Digits(value) <= rule.width;
    case SerialCoding::Bcd:
      return Digits(value) <= 2 * rule.width;
    case SerialCoding::Little:
    case SerialCoding::Big:
      break;
  }
  return rule.width >= 8 || value >> (8 * rule.width) == 0;
}

void PutSerial(const SerialRule& rule, std::uint64_t value, std::uint8_t* image) {
  // Least significant part first, into the last cell for big-endian,
  // ASCII and BCD.
  for (int k = 0; k < rule.width; ++k) {
    std::uint8_t part = 0;
    if (rule.coding == SerialCoding::Ascii) {
      part = static_cast<std::uint8_t>('0' + value % 10);
      value /= 10;
    } else if (rule.coding == SerialCoding::Bcd) {
      part = static_cast<std::uint8_t>(value % 10 | (value / 10 % 10) << 4);
      value /= 100;
    } else {
      part = static_cast<std::uint8_t>(value & 0xFF);
      value >>= 8;
    }
    const int at = rule.coding == SerialCoding::Little ? k : rule.width - 1 - k;
    image[rule.cell + at] = part;
  }
}

std::uint64_t SerialAfterLog(const std::string& logText, const std::string& fileSum,
                             const std::string& fileCrc, std::uint64_t none) {
  bool found = false;
  std::uint64_t highest = 0;
  std::stringstream lines(logText);
  for (std::string line; std::getline(lines, line);) {
    std::uint64_t serial = 0;
    if (LogField(line, "command") != "write" || LogField(line, "result") != "ok" ||
        LogField(line, "file_sum") != fileSum || LogField(line, "file_crc32") != fileCrc ||
        !Number(LogField(line, "serial"), serial)) {
      continue;
    }
    highest = found ? std::max(highest, serial) : serial;
    found = true;
  }
  return found ? highest + 1 : none;
}

std::uint64_t SerialPlan::Take() {
  if (returned_.empty()) return next_++;
  const std::uint64_t serial = *returned_.begin();
  returned_.erase(returned_.begin());
  return serial;
}

}  // namespace romtool
