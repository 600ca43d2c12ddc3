#include "core/formats/record_lines.h"

#include <algorithm>

#include "core/hex_text.h"

namespace romprog {

TextLoad ReadRecordLines(
    const std::uint8_t* text, std::size_t size,
    const std::function<std::string(const std::string& line, int number)>& take, int* lastLine) {
  const std::uint8_t* end = std::find(text, text + size, kEndOfText);
  TextLoad load;
  std::string line;
  int number = 1;
  for (const std::uint8_t* at = text;; ++at) {
    const bool ended = at == end;
    if (!ended && *at != '\r' && *at != '\n') {
      line += static_cast<char>(*at);
      continue;
    }
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
    if (!line.empty()) {
      if (lastLine) *lastLine = number;
      const std::string fault = take(line, number);
      if (!fault.empty()) {
        load.ok = false;
        load.errorLine = number;
        load.error = fault;
        return load;
      }
    }
    if (ended) break;
    line.clear();
    ++number;
    if (*at == '\r' && at + 1 != end && at[1] == '\n') ++at;
  }
  return load;
}

std::string FaultPolicy::Take(const std::string& fault, int line) {
  if (!lenient_ || fault.empty()) return fault;
  if (count_++ == 0) {
    firstLine_ = line;
    first_ = fault;
  }
  return std::string();
}

void FaultPolicy::Into(TextLoad& load) const {
  load.faultsReadPast = count_;
  load.readPastLine = firstLine_;
  load.readPast = first_;
}

std::string DecodeHexPairs(const std::string& line, std::size_t from,
                           std::vector<std::uint8_t>& bytes) {
  if ((line.size() - from) % 2 != 0) return "odd number of hex digits";
  for (std::size_t i = from; i < line.size(); i += 2) {
    const int high = HexDigitValue(line[i]);
    const int low = HexDigitValue(line[i + 1]);
    if (high < 0 || low < 0) return "not a hex digit";
    bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
  }
  return std::string();
}

std::string FindConflict(const FileData& data, int& line) {
  std::vector<const DataRun*> runs;
  for (const DataRun& run : data) {
    if (!run.bytes.empty()) runs.push_back(&run);
  }
  std::stable_sort(runs.begin(), runs.end(),
                   [](const DataRun* a, const DataRun* b) { return a->address < b->address; });
  for (std::size_t i = 0; i < runs.size(); ++i) {
    const DataRun& a = *runs[i];
    const std::uint64_t end = std::uint64_t{a.address} + a.bytes.size();
    for (std::size_t j = i + 1; j < runs.size() && runs[j]->address < end; ++j) {
      const DataRun& b = *runs[j];
      for (std::uint64_t at = b.address; at < end && at - b.address < b.bytes.size(); ++at) {
        const std::uint8_t first = a.bytes[at - a.address];
        const std::uint8_t second = b.bytes[at - b.address];
        if (first == second) continue;
        const bool aFirst = a.line <= b.line;
        const DataRun& earlier = aFirst ? a : b;
        line = aFirst ? b.line : a.line;
        return "data at " + HexNumber(at, 4) + " is " + HexNumber(aFirst ? second : first, 2) +
               " here but " + HexNumber(aFirst ? first : second, 2) + " on line " +
               std::to_string(earlier.line) +
               ": two records give it different values (--lenient lets the later stand)";
      }
    }
  }
  return std::string();
}

void CheckWholeText(const std::string& endFault, int endLine, const FileData& data,
                    FaultPolicy& faults, TextLoad& load) {
  int line = endLine;
  std::string fault = faults.Take(endFault, endLine);
  if (fault.empty()) {
    const std::string conflict = FindConflict(data, line);
    fault = faults.Take(conflict, line);
  }
  if (fault.empty()) return;
  load.ok = false;
  load.errorLine = line;
  load.error = fault;
}

namespace {

// Where a run lies outside the window, as the refusal names it.
std::string Outside(const DataRun& run, const AddressWindow& window) {
  const std::uint64_t last = std::uint64_t{run.address} + run.bytes.size() - 1;
  const std::string data = "data at " + HexNumber(run.address, 1) + " to " + HexNumber(last, 1) +
                           " lies outside the chip";
  if (window.base == 0) return data + " (" + HexNumber(window.size, 1) + " bytes)";
  return data + "'s " + HexNumber(window.base, 1) + " to " +
         HexNumber(std::uint64_t{window.base} + window.size - 1, 1);
}

}  // namespace

TextLoad PlaceRuns(const FileData& data, const TextLoad& collected, const AddressWindow& window,
                   std::uint8_t* image) {
  // Every record is read and checked before any is mapped: a fault in a
  // record stands, whatever window the data around it would miss.
  if (!collected.ok) return collected;
  TextLoad load = collected;
  HighestRecord highest;
  for (const DataRun& run : data) {
    if (run.bytes.empty()) continue;
    const std::uint64_t end = static_cast<std::uint64_t>(run.address) + run.bytes.size();
    if (run.address < window.base || window.size < 0 ||
        end > static_cast<std::uint64_t>(window.base) + static_cast<std::uint64_t>(window.size)) {
      load.ok = false;
      load.errorLine = run.line;
      load.error = Outside(run, window);
      load.lenientReadsPast = false;
      return load;
    }
    const std::uint32_t cell = run.address - window.base;
    highest.Take(static_cast<long>(cell), static_cast<long>(run.bytes.size()));
    std::copy(run.bytes.begin(), run.bytes.end(), image + cell);
  }
  load.loadedExtent = highest.Extent();
  return load;
}

}  // namespace romprog
