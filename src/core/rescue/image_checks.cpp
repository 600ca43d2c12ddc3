#include "core/rescue/image_checks.h"

#include <algorithm>

namespace romprog {
namespace {

int AddressLines(int size) {
  int lines = 0;
  while ((1 << lines) < size) ++lines;
  return lines;
}

void FindFixedBits(const std::uint8_t* image, int size, std::vector<CheckFinding>& found) {
  std::uint8_t ones = 0x00, zeros = 0x00;  // bits seen 1 and seen 0 somewhere
  for (int a = 0; a < size; ++a) {
    ones |= image[a];
    zeros |= static_cast<std::uint8_t>(~image[a]);
  }
  for (int bit = 7; bit >= 0; --bit) {
    const bool seenOne = (ones >> bit) & 1, seenZero = (zeros >> bit) & 1;
    if (seenOne && seenZero) continue;
    CheckFinding finding{CheckKind::FixedBit, bit, seenOne ? 1 : 0};
    finding.spans.push_back({0, size - 1});
    found.push_back(finding);
  }
}

// Whether every cell equals the one with address line `line` flipped.
bool Mirrored(const std::uint8_t* image, int size, int line) {
  const int block = 1 << line;
  for (int start = 0; start < size; start += 2 * block) {
    if (!std::equal(image + start, image + start + block, image + start + block)) return false;
  }
  return true;
}

void FindAddressLines(const std::uint8_t* image, int size, std::vector<CheckFinding>& found) {
  const int lines = AddressLines(size);
  std::vector<bool> mirrored(static_cast<std::size_t>(lines));
  for (int line = 0; line < lines; ++line) mirrored[line] = Mirrored(image, size, line);
  // The top lines mirrored together: the image is copies of its first part.
  int copies = 1;
  for (int line = lines - 1; line >= 0 && mirrored[line] && copies < 4; --line) copies *= 2;
  if (copies > 1) {
    CheckFinding overdump{CheckKind::Overdump};
    overdump.copies = copies;
    const int part = size / copies;
    for (int k = 0; k < copies; ++k) overdump.spans.push_back({k * part, (k + 1) * part - 1});
    found.push_back(overdump);
  }
  for (int line = lines - 1; line >= 0; --line) {
    if (!mirrored[line]) continue;
    CheckFinding finding{CheckKind::MirroredLine};
    finding.line = line;
    const int block = 1 << line;
    finding.spans = {{0, block - 1}, {block, 2 * block - 1}};
    found.push_back(finding);
  }
}

void FindRegions(const std::uint8_t* image, int size, std::uint8_t value, CheckKind kind,
                 std::vector<CheckFinding>& found) {
  CheckFinding finding{kind};
  finding.value = value;
  for (int a = 0; a < size;) {
    if (image[a] != value) {
      ++a;
      continue;
    }
    const int first = a;
    while (a < size && image[a] == value) ++a;
    if (a - first >= kRegionCells) finding.spans.push_back({first, a - 1});
  }
  if (!finding.spans.empty()) found.push_back(finding);
}

}  // namespace

std::vector<CheckFinding> CheckImage(const std::uint8_t* image, int size) {
  std::vector<CheckFinding> found;
  if (size <= 0) return found;
  // One value throughout says nothing of the lines; it is all there is to tell.
  if (std::all_of(image, image + size, [image](std::uint8_t b) { return b == image[0]; })) {
    CheckFinding one{CheckKind::OneValue};
    one.value = image[0];
    one.spans.push_back({0, size - 1});
    found.push_back(one);
    return found;
  }
  FindFixedBits(image, size, found);
  FindAddressLines(image, size, found);
  FindRegions(image, size, 0xFF, CheckKind::BlankRegion, found);
  FindRegions(image, size, 0x00, CheckKind::ZeroRegion, found);
  return found;
}

}  // namespace romprog
