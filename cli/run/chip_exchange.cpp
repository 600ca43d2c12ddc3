#include "cli/run/chip_exchange.h"

#include "cli/run/progress.h"
#include "core/hex_text.h"
#include "core/protocol/chip_link.h"
#include "platform/interrupt.h"

namespace romtool {
namespace {

using romprog::Direction;
using romprog::Ending;
using romprog::LinkResult;

// Progress for every cell; reading stores the cells.
class ToolObserver : public romprog::LinkObserver {
 public:
  ToolObserver(PortSession& session, const char* label, std::uint8_t* store)
      : session_(session), progress_(session.progress), store_(store) {
    if (progress_) progress_->Begin(label);
  }

  bool GoOn() override { return !romprog::Interrupted(); }
  void Passed(int address, std::uint8_t value) override {
    if (store_) store_[address] = value;
    done_ = address + 1;
    if (progress_) progress_->Update(done_);
  }
  int Finish() {
    if (progress_) progress_->End(done_);
    session_.cellsDone += done_;
    return done_;
  }

 private:
  PortSession& session_;
  Progress* progress_;
  std::uint8_t* store_;
  int done_ = 0;
};

LinkResult Run(PortSession& session, ToolObserver& observer, Direction direction, int& cells,
               const std::uint8_t* image = nullptr) {
  const romprog::ChipSelection chip{session.chip.chipCode, session.chip.activeSize};
  const LinkResult result =
      romprog::RunExchange(session.port, session.clock, observer, direction, chip, image);
  cells = observer.Finish();
  return result;
}

// Nothing follows the last cell of a whole read. A byte that does came from
// the programmer after its last acknowledge: the read took a byte left over
// from an earlier exchange (a programmer that answered after the wait) for
// one of its own and is shifted by a cell from there on.
constexpr int kAfterLastCellMs = 100;

bool ByteAfterTheEnd(PortSession& session) {
  std::uint8_t extra = 0;
  return session.port.ReadByte(extra, kAfterLastCellMs).ok();
}

// The verdict for an exchange that the programmer, the line or the user cut
// short.
Verdict CutShort(PortSession& session, const LinkResult& result, Direction direction,
                 const char* label) {
  if (result.ending == Ending::Stopped) {
    return {kStopped, "stopped at cell " + CellName(result.address) + " of the " + label};
  }
  if (result.line.status != romprog::PortStatus::TimedOut) {
    const std::string where =
        result.address < 0 ? "at the command byte" : "at cell " + CellName(result.address);
    return {kNoAnswer, "the line failed " + where + ": " +
                           romprog::DescribePortFault("the port", result.line)};
  }
  if (result.address < 0) {
    return {kNoAnswer, "no answer from the programmer to the command byte " +
                           ByteName(romprog::CommandByte(session.chip.chipCode, direction)) + " (" +
                           session.chip.name + ")"};
  }
  return {kNoAnswer, "the programmer stopped answering at cell " + CellName(result.address) +
                         ": no byte within " + std::to_string(romprog::kReplyTimeoutMs) + " ms"};
}

}  // namespace

std::string CellName(int address) {
  return romprog::HexNumber(static_cast<std::uint64_t>(address), 4) + " (" +
         std::to_string(address) + ")";
}

std::string ByteName(std::uint8_t value) {
  return romprog::HexNumber(value, 2);
}

Verdict ReadChipInto(PortSession& session, std::uint8_t* image, const char* label,
                     const char* stepName) {
  ToolObserver observer(session, stepName ? stepName : label, image);
  int cells = 0;
  const LinkResult result = Run(session, observer, Direction::Reading, cells);
  Verdict verdict;
  if (result.ending != Ending::Complete) {
    verdict = CutShort(session, result, Direction::Reading, label);
    verdict.address = result.address;
  } else if (ByteAfterTheEnd(session)) {
    verdict = {kNoAnswer,
               "a byte came after the last cell: a late byte of an earlier exchange was taken "
               "for one of this read's, which is shifted by a cell; nothing read is kept. Read "
               "again once the programmer is quiet"};
  }
  verdict.cells = cells;
  return verdict;
}

Verdict WriteChipFrom(PortSession& session, const std::uint8_t* image) {
  ToolObserver observer(session, "write", nullptr);
  int cells = 0;
  const LinkResult result = Run(session, observer, Direction::Writing, cells, image);
  Verdict verdict;
  if (result.ending == Ending::BadCell) {
    verdict = {kChipFault, "cell " + CellName(result.address) + " was not programmed with " +
                               ByteName(image[result.address]) + ": the programmer answered " +
                               ByteName(result.value) + ", expected " +
                               ByteName(romprog::kAcknowledge)};
  } else if (result.ending != Ending::Complete) {
    verdict = CutShort(session, result, Direction::Writing, "write");
  }
  verdict.address = result.ending == Ending::Complete ? -1 : result.address;
  verdict.cells = cells;
  return verdict;
}

}  // namespace romtool
