#include "gui/transfer.h"

#include "gui/cell_display.h"
#include "gui/status_line.h"
#include "gui/texts.h"
#include "gui/win_constants.h"

namespace romprog {
namespace {

void ReportBadCell(App& app, int address, const BadCell& bad) {
  ShowCell(app, address, bad.value);
  app.ui.MessageBox(text::kErrorCaption, bad.message, win::kMbOk | win::kMbIconHand);
  ResetStatus(app);
}

// The status line and the windows while the cells pass. The screen work for
// a cell is done while the next byte is already on the line.
class ScreenObserver : public LinkObserver {
 public:
  explicit ScreenObserver(App& app) : app_(app), display_(app) {}

  void Waiting() override {
    display_.Flush();
    app_.ui.KeepAlive();
  }
  void NoReply() override { ReportNoReply(app_); }
  void Passed(int address, std::uint8_t value) override {
    display_.Passed(address, Decimal(value));
    app_.ui.KeepAlive();
  }
  void Flush() { display_.Flush(); }

 protected:
  void Report(int address, const BadCell& bad) {
    display_.Flush();
    ReportBadCell(app_, address, bad);
  }

  App& app_;

 private:
  CellDisplay display_;
};

class ReadingObserver : public ScreenObserver {
 public:
  ReadingObserver(App& app, const CellJudge& judge) : ScreenObserver(app), judge_(judge) {}

  bool Accept(int address, std::uint8_t byte) override {
    bad_ = judge_(address, byte);
    return !bad_;
  }
  void Rejected(int address, std::uint8_t) override { Report(address, *bad_); }

 private:
  const CellJudge& judge_;
  std::optional<BadCell> bad_;
};

class WritingObserver : public ScreenObserver {
 public:
  using ScreenObserver::ScreenObserver;
  void Rejected(int address, std::uint8_t) override {
    Report(address, {text::kWriteFailedValue, NotProgrammedMessage(address)});
  }
};

}  // namespace

Ending ReadCells(App& app, Exchange& exchange, const CellJudge& judge) {
  ReadingObserver observer(app, judge);
  const Ending ending = exchange.link().ReadCells(observer).ending;
  if (ending == Ending::Complete) observer.Flush();
  return ending;
}

Ending WriteCells(App& app, Exchange& exchange) {
  WritingObserver observer(app);
  const Ending ending = exchange.link().WriteCells(app.state.imageBuffer.data(), observer).ending;
  if (ending == Ending::Complete) observer.Flush();
  return ending;
}

}  // namespace romprog
