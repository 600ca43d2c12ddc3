#include "cli/run/read_passes.h"

#include <filesystem>

#include "cli/base/standard_streams.h"
#include "cli/images/output_file.h"
#include "cli/run/chip_findings.h"
#include "cli/run/job_plan.h"
#include "core/hex_text.h"
#include "platform/file_io.h"
#include "platform/interrupt.h"

namespace romtool {
namespace {

std::string Passes(int count) {
  return std::to_string(count) + (count == 1 ? " pass" : " passes");
}

// "bit 0: 12 times 0, 8 times 1; bit 3: ...".
std::string BitCounts(const romprog::UnstableCell& cell) {
  std::string text;
  for (int bit = 7; bit >= 0; --bit) {
    if (!((cell.bits >> bit) & 1)) continue;
    text += (text.empty() ? "" : "; ") + std::string("bit ") + std::to_string(bit) + ": " +
            std::to_string(cell.zeros[bit]) + "x 0, " + std::to_string(cell.ones[bit]) + "x 1";
  }
  return text;
}

std::string Summary(const romprog::PassMerge& merge) {
  return Counted(merge.UnstableBits(), "unstable bit") + " in " +
         Counted(merge.unstableCells(), "cell") + " over " + Passes(merge.passes());
}

void TellUnstable(const ChipJob& job, const std::vector<romprog::UnstableCell>& cells) {
  for (std::size_t k = 0; k < cells.size() && k < static_cast<std::size_t>(kListed); ++k) {
    std::fprintf(job.streams.out, "  cell %s unstable: merged %s, %s\n",
                 CellName(cells[k].address).c_str(), ByteName(cells[k].merged).c_str(),
                 BitCounts(cells[k]).c_str());
  }
  if (cells.size() > static_cast<std::size_t>(kListed)) {
    std::fprintf(job.streams.out, "  and %zu more\n", cells.size() - kListed);
  }
}

bool WriteText(const std::string& path, const std::string& text, std::string& error) {
  std::string problem;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  if (romprog::WriteWholeFile(path, bytes, text.size(), problem)) return true;
  error = "cannot write " + path + ": " + problem;
  return false;
}

bool SaveMerge(const ChipJob& job, const std::string& path, const std::uint8_t* image,
               std::string& error) {
  OutputFile output(path, job.options);
  return output.Reserve(error) && output.Save(image, job.size, nullptr, error);
}

}  // namespace

int ReadPasses(const ChipJob& job, romprog::PassMerge& merge) {
  const int most = PassesAsked(job.options);
  std::vector<std::uint8_t> pass(static_cast<std::size_t>(job.size));
  int calm = 0;  // passes in a row that found no new unstable cell
  for (int n = 1; n <= most; ++n) {
    if (n > 1 && romprog::Interrupted()) {
      return Fail(job.streams, kStopped,
                  "stopped between passes " + std::to_string(n - 1) + " and " + std::to_string(n));
    }
    const std::string label =
        most == 1 ? "read" : "read pass " + std::to_string(n) + " of " + std::to_string(most);
    if (int code = ReadWholeChip(job, pass.data(), label, ReadStepName(job.options))) return code;
    const int fresh = merge.Add(pass.data());
    if (fresh > 0) {
      std::fprintf(job.streams.out, "pass %d: %s more (%d in all)\n", n,
                   Counted(fresh, "unstable cell").c_str(), merge.unstableCells());
    }
    calm = n > 1 && fresh == 0 ? calm + 1 : 0;
    if (job.options.untilStable > 0 && calm >= job.options.untilStable && n < most) {
      std::fprintf(job.streams.out, "stable: %s in a row found no new unstable cell\n",
                   Passes(calm).c_str());
      break;
    }
  }
  return kSuccess;
}

std::string NameBeside(const std::string& file, const std::string& mark,
                       const std::string& extension) {
  const std::filesystem::path path(file);
  const std::string ext = extension.empty() ? path.extension().string() : extension;
  return (path.parent_path() / (path.stem().string() + mark + ext)).string();
}

std::string UnstableListText(const ChipJob& job, const romprog::PassMerge& merge) {
  std::string text = "# romtool read " + std::string(job.file) + ": " + job.chipName + ", " +
                     Summary(merge) + "\n" +
                     "# cell, merged value (a bit that read 0 in any pass is 0), unstable bits; "
                     "then for each unstable bit how many passes read it 0 and 1\n";
  for (const romprog::UnstableCell& cell : merge.UnstableList()) {
    text += romprog::HexNumber(static_cast<std::uint64_t>(cell.address), 4) + " " +
            romprog::HexNumber(cell.merged, 2) + " " + romprog::HexNumber(cell.bits, 2);
    for (int bit = 7; bit >= 0; --bit) {
      if ((cell.bits >> bit) & 1) {
        text += " bit" + std::to_string(bit) + "=" + std::to_string(cell.zeros[bit]) + "/" +
                std::to_string(cell.ones[bit]);
      }
    }
    text += "\n";
  }
  return text;
}

int KeepMerged(const ChipJob& job, const romprog::PassMerge& merge, bool stopped) {
  const int code = stopped ? kStopped : kUnstable;
  const std::string file = job.file;
  if (!stopped) {
    std::fprintf(job.streams.out, "read: %s (read differently from pass to pass)\n",
                 Summary(merge).c_str());
  }
  // A stop is told on stderr with the rest of the verdict, after the cell it came at.
  const std::string head = !stopped
                               ? std::string()
                               : "stopped after " + Passes(merge.passes()) + " of " +
                                     std::to_string(PassesAsked(job.options)) + ": " +
                                     (merge.Agreed() ? "they read alike" : Summary(merge)) + "; ";
  TellUnstable(job, merge.UnstableList());
  if (IsStandardStream(file)) {
    return Fail(job.streams, code,
                head +
                    "nothing written to standard output, and the merge is not kept: name a "
                    "file to keep it beside");
  }
  const std::string merged = NameBeside(file, ".merged");
  std::string error;
  if (!SaveMerge(job, merged, merge.merged().data(), error)) {
    return Fail(job.streams, code, head + error + "; " + file + " not written");
  }
  job.record.merged = merged;
  std::string kept = head + "the merge of the " + Passes(merge.passes()) +
                     " (a bit that read 0 in any pass is 0) is kept in " + merged;
  if (!merge.Agreed()) {
    const std::string list = NameBeside(file, ".unstable", ".txt");
    if (!WriteText(list, UnstableListText(job, merge), error))
      return Fail(job.streams, code, error);
    kept += ", the unstable cells in " + list;
  }
  return Fail(job.streams, code,
              kept + "; " + file + " not written (" +
                  (stopped ? "the passes asked for were not all made" : "the passes differ") + ")");
}

}  // namespace romtool
