#include "cli/base/job_log.h"

#include <cinttypes>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <filesystem>
#include <fstream>

#include "cli/base/checksum.h"
#include "cli/base/exit_code.h"
#include "cli/base/json_text.h"
#include "core/hex_text.h"
#include "platform/user_files.h"

namespace romtool {
namespace {

// A number the log gives in hex, as a JSON string: "0x01A8".
std::string Hex(std::uint32_t value, int digits) {
  return "\"" + romprog::HexNumber(value, digits) + "\"";
}

}  // namespace

std::string LogField(const std::string& line, const std::string& key) {
  const std::string marker = "\"" + key + "\":";
  std::size_t at = line.find(marker);
  if (at == std::string::npos) return "";
  at += marker.size();
  if (line[at] != '"') return line.substr(at, line.find_first_of(",}", at) - at);
  std::string value;
  for (++at; at < line.size() && line[at] != '"'; ++at) {
    if (line[at] == '\\' && at + 1 < line.size()) ++at;
    value += line[at];
  }
  return value;
}

void JobRecord::NoteFile(const std::uint8_t* image, int size) {
  fileSums = true;
  fileSum = ByteSum16(image, static_cast<std::size_t>(size));
  fileCrc = Crc32(image, static_cast<std::size_t>(size));
}

void JobRecord::NoteChip(const std::uint8_t* image, int size) {
  chipSums = true;
  chipSum = ByteSum16(image, static_cast<std::size_t>(size));
  chipCrc = Crc32(image, static_cast<std::size_t>(size));
}

std::string UtcNow() {
  const std::time_t now = std::time(nullptr);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", std::gmtime(&now));
  return text;
}

std::string JobLine(const JobRecord& r) {
  char timing[96];
  std::snprintf(timing, sizeof timing, "\"cells\":%d,\"seconds\":%.3f,\"us_per_cell\":%.1f",
                r.cells, r.seconds, r.cells > 0 ? r.seconds * 1e6 / r.cells : 0.0);
  std::string line = "{\"start\":" + JsonQuoted(r.start) + ",\"command\":" + JsonQuoted(r.command) +
                     ",\"port\":" + JsonQuoted(r.port) + ",\"chip\":" + JsonQuoted(r.chip);
  if (!r.file.empty()) line += ",\"file\":" + JsonQuoted(r.file);
  if (!r.base.empty()) line += ",\"base\":" + JsonQuoted(r.base);
  if (r.at >= 0)
    line += ",\"at\":" + Hex(static_cast<std::uint32_t>(r.at), 4) +
            ",\"at_cells\":" + std::to_string(r.atSize);
  if (r.fileSums) {
    line += ",\"file_sum\":" + Hex(r.fileSum, 4) + ",\"file_crc32\":" + Hex(r.fileCrc, 8);
  }
  if (r.chipSums) {
    line += ",\"chip_sum\":" + Hex(r.chipSum, 4) + ",\"chip_crc32\":" + Hex(r.chipCrc, 8);
  }
  if (r.sequence > 0) line += ",\"sequence\":" + std::to_string(r.sequence);
  if (r.hasSerial) line += ",\"serial\":" + std::to_string(r.serial);
  line += ",\"result\":" + JsonQuoted(ExitWord(r.exitCode)) +
          ",\"exit\":" + std::to_string(r.exitCode) + "," + timing;
  if (r.cellsWritten >= 0) line += ",\"cells_written\":" + std::to_string(r.cellsWritten);
  if (r.passes > 0) {
    line += ",\"passes\":" + std::to_string(r.passes) +
            ",\"unstable_cells\":" + std::to_string(r.unstableCells) +
            ",\"unstable_bits\":" + std::to_string(r.unstableBits);
  }
  if (!r.merged.empty()) line += ",\"merged\":" + JsonQuoted(r.merged);
  // Where a job that did not succeed ended.
  if (r.exitCode != kSuccess && !r.step.empty()) line += ",\"step\":" + JsonQuoted(r.step);
  if (r.exitCode != kSuccess && !r.error.empty()) line += ",\"error\":" + JsonQuoted(r.error);
  return line + "}";
}

std::string DefaultLogPath() {
  return romprog::UserDataFile("romtool-log.jsonl");
}

std::string LogPath(const std::string& chosen) {
  return chosen.empty() ? DefaultLogPath() : chosen;
}

bool AppendLine(const std::string& path, const std::string& line) {
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  std::error_code ignored;
  if (!folder.empty()) std::filesystem::create_directories(folder, ignored);
  std::ofstream file(path, std::ios::app | std::ios::binary);
  file << line << '\n';
  return static_cast<bool>(file.flush());
}

namespace {

// A line as JobLine writes them: one JSON object with the start of the job.
bool IsJobRecord(const std::string& line) {
  std::string text = line;
  while (!text.empty() && (text.back() == '\r' || text.back() == ' ')) text.pop_back();
  return text.rfind("{\"", 0) == 0 && text.back() == '}' && !LogField(text, "start").empty();
}

}  // namespace

bool PrintLog(const std::string& path, int count, std::FILE* out) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  std::deque<std::string> last;
  for (std::string line; std::getline(file, line);) {
    if (line.empty()) continue;
    last.push_back(line);
    if (static_cast<int>(last.size()) > count) last.pop_front();
  }
  // The 16-bit sum beside each CRC-32: the figure written on chip labels.
  const char* row =
      "%-20s  %-7s  %-7s  %-10s  %-12s  %7s  %7s  %8s  %-8s  %-10s  %-8s  %-10s  %5s  %-8s  "
      "%-12s  %-6s  %s\n";
  std::fprintf(out, row, "start", "command", "chip", "result", "ended in", "cells", "written",
               "seconds", "chip sum", "chip crc", "file sum", "file crc", "chip#", "serial", "port",
               "base", "file");
  for (const std::string& line : last) {
    if (!IsJobRecord(line)) {
      // A line the log holds that no job wrote (cut short, edited): shown, not hidden.
      std::fprintf(out, "(not a job record: %.60s%s)\n", line.c_str(),
                   line.size() > 60 ? "..." : "");
      continue;
    }
    std::fprintf(out, row, LogField(line, "start").c_str(), LogField(line, "command").c_str(),
                 LogField(line, "chip").c_str(), LogField(line, "result").c_str(),
                 LogField(line, "step").c_str(), LogField(line, "cells").c_str(),
                 LogField(line, "cells_written").c_str(), LogField(line, "seconds").c_str(),
                 LogField(line, "chip_sum").c_str(), LogField(line, "chip_crc32").c_str(),
                 LogField(line, "file_sum").c_str(), LogField(line, "file_crc32").c_str(),
                 LogField(line, "sequence").c_str(), LogField(line, "serial").c_str(),
                 LogField(line, "port").c_str(), LogField(line, "base").c_str(),
                 LogField(line, "file").c_str());
  }
  return true;
}

}  // namespace romtool
