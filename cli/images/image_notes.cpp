#include "cli/images/image_notes.h"

#include "core/hex_text.h"
#include "core/rescue/image_checks.h"

namespace romtool {
namespace {

using romprog::CellSpan;
using romprog::CheckFinding;
using romprog::CheckKind;
using romprog::HexNumber;

constexpr std::size_t kSpansTold = 8;

std::string SpanText(const CellSpan& span) {
  return HexNumber(span.first, 4) + "-" + HexNumber(span.last, 4);
}

std::string Spans(const std::vector<CellSpan>& spans) {
  std::string text;
  for (std::size_t k = 0; k < spans.size() && k < kSpansTold; ++k) {
    const int cells = spans[k].last - spans[k].first + 1;
    text += (k ? ", " : "") + SpanText(spans[k]) + " (" + std::to_string(cells) + " cells)";
  }
  if (spans.size() > kSpansTold)
    text += " and " + std::to_string(spans.size() - kSpansTold) + " more";
  return text;
}

std::string OneValue(const CheckFinding& f) {
  if (f.value == 0xFF) return "every cell is 0xFF: a blank (erased) chip, or no chip answering";
  if (f.value == 0x00) return "every cell is 0x00: no chip answering (missing or unpowered?)";
  return "every cell is " + HexNumber(f.value, 2) + ": every data line stuck, or no chip answering";
}

std::string FixedBit(const CheckFinding& f, int size) {
  const std::string line = "D" + std::to_string(f.bit);
  return "data bit " + std::to_string(f.bit) + " (" + line + ") reads " + std::to_string(f.value) +
         " in all " + std::to_string(size) + " cells (" + SpanText(f.spans[0]) +
         "): a stuck or open data line " + line + ", or data that never uses the bit" +
         (f.bit == 7 && f.value == 0 ? " (7-bit text)" : "");
}

std::string Overdump(const CheckFinding& f, const char* chipName) {
  const int part = f.spans[0].last + 1;
  std::string copies;
  for (const CellSpan& span : f.spans) copies += (copies.empty() ? "" : " = ") + SpanText(span);
  return "the chip reads as " + std::to_string(f.copies) + " identical copies of its first " +
         std::to_string(part) + " bytes (" + copies + "): an overdump (a chip of " +
         std::to_string(part) + " bytes read as " + chipName +
         ", or a smaller image), or its top address line dead";
}

std::string MirroredLine(const CheckFinding& f) {
  const std::string line = "A" + std::to_string(f.line);
  return "address line " + line + " changes nothing: every cell reads as the one with " + line +
         " flipped (" + SpanText(f.spans[1]) + " repeats " + SpanText(f.spans[0]) +
         ", and so on through the chip): " + line + " dead, open or stuck, or crossed with another";
}

std::string Note(const CheckFinding& f, int size, const char* chipName) {
  switch (f.kind) {
    case CheckKind::OneValue:
      return OneValue(f);
    case CheckKind::FixedBit:
      return FixedBit(f, size);
    case CheckKind::Overdump:
      return Overdump(f, chipName);
    case CheckKind::MirroredLine:
      return MirroredLine(f);
    case CheckKind::BlankRegion:
      return "blank (0xFF) regions: " + Spans(f.spans);
    case CheckKind::ZeroRegion:
      return "zero (0x00) regions: " + Spans(f.spans);
  }
  return std::string();
}

}  // namespace

std::vector<std::string> ImageNotes(const std::uint8_t* image, int size, const char* chipName) {
  std::vector<std::string> notes;
  for (const CheckFinding& finding : romprog::CheckImage(image, size)) {
    notes.push_back(Note(finding, size, chipName));
  }
  return notes;
}

}  // namespace romtool
