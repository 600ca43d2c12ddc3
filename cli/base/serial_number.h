// Serial numbers written into each chip's copy of the image (--serial
// CELL:WIDTH[:le|be|ascii|bcd][:START]): how the number is laid out in its
// cells, whether it fits them, where a run goes on from, and which number
// each chip gets when several are written at once.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>

namespace romtool {

enum class SerialCoding { Little, Big, Ascii, Bcd };

struct SerialRule {
  int cell = 0;
  int width = 0;  // cells; 0: no serial asked for
  SerialCoding coding = SerialCoding::Little;
  bool hasStart = false;
  std::uint64_t start = 0;
};

// "0x1FF0:2:le:100"; false with `error` set when it is not one.
bool ParseSerialRule(const std::string& text, SerialRule& rule, std::string& error);
// What is wrong with the cells of `rule` (given as `text`) on the chip
// `chip` of `size` cells, empty when they lie on it. A file address given
// for a cell is named as the cell it is under --base `base` or --base auto.
std::string SerialCellFault(const SerialRule& rule, const std::string& text,
                            const std::string& chip, int size,
                            const std::optional<std::uint32_t>& base, bool autoBase);
// The rule as --serial takes it, starting at `start`: "0x1FF0:2:le:101".
std::string SerialRuleText(const SerialRule& rule, std::uint64_t start);
// The rule without its start: "0x1FF0:2:le", which goes on after the job
// log's last serial.
std::string SerialRuleWithoutStart(const SerialRule& rule);
// Whether `value` fits the rule's cells in its coding.
bool SerialFits(const SerialRule& rule, std::uint64_t value);
// `value` into image[cell...] (it fits).
void PutSerial(const SerialRule& rule, std::uint64_t value, std::uint8_t* image);

// The serial after the highest one the job log `logText` gives a chip that
// took the same file (the same sum and CRC-32 before the serial) and
// passed; `none` when the log gives none.
std::uint64_t SerialAfterLog(const std::string& logText, const std::string& fileSum,
                             const std::string& fileCrc, std::uint64_t none);

// The serials of a run: the lowest of those a failed chip gave back, else
// the next new one; so every chip that passed has its own, without gaps.
class SerialPlan {
 public:
  explicit SerialPlan(std::uint64_t first) : next_(first) {}
  std::uint64_t Take();
  void GiveBack(std::uint64_t serial) { returned_.insert(serial); }

 private:
  std::uint64_t next_;
  std::set<std::uint64_t> returned_;
};

}  // namespace romtool
