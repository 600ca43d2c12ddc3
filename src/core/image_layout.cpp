#include "core/image_layout.h"

#include <algorithm>

namespace romprog {

std::vector<Span> DataSpans(const FileData& data) {
  std::vector<Span> spans;
  for (const DataRun& run : data) {
    if (run.bytes.empty()) continue;
    spans.push_back({run.address, run.address + static_cast<std::uint32_t>(run.bytes.size() - 1)});
  }
  std::sort(spans.begin(), spans.end(),
            [](const Span& a, const Span& b) { return a.first < b.first; });
  std::vector<Span> merged;
  for (const Span& span : spans) {
    if (!merged.empty() && span.first <= static_cast<std::uint64_t>(merged.back().last) + 1) {
      merged.back().last = std::max(merged.back().last, span.last);
    } else {
      merged.push_back(span);
    }
  }
  return merged;
}

std::vector<std::uint32_t> WindowsHolding(const std::vector<Span>& spans, int size) {
  std::vector<std::uint32_t> bases;
  const auto width = static_cast<std::uint64_t>(size);
  for (const Span& span : spans) {
    for (std::uint64_t base = span.first / width * width; base <= span.last; base += width) {
      if (bases.empty() || bases.back() != base) bases.push_back(static_cast<std::uint32_t>(base));
    }
  }
  return bases;
}

AddressWindow BankWindow(const std::vector<Span>& spans) {
  const std::uint64_t first = spans.front().first;
  const std::uint64_t last = spans.back().last;
  std::uint64_t width = 1;
  while (first / width * width + width <= last) width *= 2;
  return AddressWindow{static_cast<std::uint32_t>(first / width * width),
                       static_cast<int>(std::min<std::uint64_t>(width, std::uint64_t{1} << 30))};
}

int AddressLines(int size) {
  int lines = 0;
  while ((1 << lines) < size) ++lines;
  return lines;
}

std::optional<Overlap> FindOverlap(const std::vector<Part>& parts) {
  for (std::size_t j = 1; j < parts.size(); ++j) {
    for (std::size_t i = 0; i < j; ++i) {
      const int first = std::max(parts[i].cell, parts[j].cell);
      const int end = std::min(parts[i].End(), parts[j].End());
      if (first < end) {
        return Overlap{
            i, j, {static_cast<std::uint32_t>(first), static_cast<std::uint32_t>(end - 1)}};
      }
    }
  }
  return std::nullopt;
}

void LayParts(const std::vector<Part>& parts, std::uint8_t fill, std::uint8_t* chip, int size) {
  std::fill(chip, chip + size, fill);
  for (const Part& part : parts) std::copy(part.bytes.begin(), part.bytes.end(), chip + part.cell);
}

std::vector<Span> FreeCells(const std::vector<Part>& parts, int size) {
  std::vector<bool> taken(static_cast<std::size_t>(size));
  for (const Part& part : parts) {
    std::fill(taken.begin() + part.cell, taken.begin() + part.End(), true);
  }
  std::vector<Span> free;
  for (int cell = 0; cell < size; ++cell) {
    if (taken[static_cast<std::size_t>(cell)]) continue;
    const auto at = static_cast<std::uint32_t>(cell);
    if (!free.empty() && free.back().last + 1 == at) {
      free.back().last = at;
    } else {
      free.push_back({at, at});
    }
  }
  return free;
}

bool Mirror(std::uint8_t* chip, int period, int size) {
  if (period <= 0 || size % period != 0) return false;
  for (int cell = period; cell < size; ++cell) chip[cell] = chip[cell - period];
  return true;
}

void SwapPairs(std::vector<std::uint8_t>& bytes) {
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) std::swap(bytes[i], bytes[i + 1]);
}

std::vector<std::vector<std::uint8_t>> Interleave(std::vector<std::uint8_t> image, int ways,
                                                  bool swap) {
  if (swap) SwapPairs(image);
  const std::size_t each = image.size() / static_cast<std::size_t>(ways);
  std::vector<std::vector<std::uint8_t>> chips(static_cast<std::size_t>(ways));
  for (std::size_t k = 0; k < chips.size(); ++k) {
    chips[k].resize(each);
    for (std::size_t i = 0; i < each; ++i) chips[k][i] = image[i * chips.size() + k];
  }
  return chips;
}

std::vector<std::uint8_t> Join(const std::vector<std::vector<std::uint8_t>>& chips, bool swap) {
  const std::size_t each = chips.empty() ? 0 : chips[0].size();
  std::vector<std::uint8_t> image(each * chips.size());
  for (std::size_t k = 0; k < chips.size(); ++k) {
    for (std::size_t i = 0; i < each; ++i) image[i * chips.size() + k] = chips[k][i];
  }
  if (swap) SwapPairs(image);
  return image;
}

}  // namespace romprog
