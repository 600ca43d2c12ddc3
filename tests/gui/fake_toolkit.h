// A toolkit that records what the commands do and answers modal boxes and
// dialogs from a script, so commands run natively without windows.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "gui/toolkit.h"

namespace romprog::testing {

struct FakeWindow {
  bool open = false;
  int x = 0, y = 0, width = 0, height = 0;
  Text title;
  std::uint32_t style = 0;
  bool hidden = false;
  int activations = 0;
};

struct FakeControl {
  ControlDesc desc;
  int window = -1;
  Text text;
  int state = 0;  // toggle, selected index, position or selected row
  bool enabled = true;
  std::vector<Text> items;
  std::map<int, std::uint32_t> colours;
  Text tooltip;
  std::vector<std::pair<Text, int>> columns;  // list view: title, width
  std::vector<std::vector<Text>> rows;        // list view cells
  bool redraw = true;
};

struct ShownBox {
  Text caption;
  Text text;
  unsigned flags;
};

struct ShownDialog {
  bool save;
  Text title;
  Text patterns;
  int firstIndex;
};

class FakeToolkit : public Toolkit {
 public:
  // Scripted answers; a message box with none answers IDOK, a dialog cancels.
  std::deque<int> boxAnswers;
  std::deque<FileDialogResult> dialogAnswers;
  std::deque<Event> events;  // WaitForEvent hands these out, then a close of the control window
  int screenWidth = 1024;
  bool failOpenWindow[2] = {false, false};

  std::map<int, FakeWindow> windows;
  std::map<int, FakeControl> controls;
  std::vector<int> creationOrder;
  std::vector<ShownBox> boxes;
  std::vector<ShownDialog> dialogs;
  std::vector<int> focusChanges;
  int keepAlives = 0;
  int busyDepth = 0;
  int busyBegins = 0;
  bool ended = false;
  int cellWrites = 0;
  // Called whenever a box is shown, so a test can look at the state then.
  std::function<void(const ShownBox&)> onBox;

  FakeControl& control(int id);
  const std::vector<std::vector<Text>>& rows(int id) { return control(id).rows; }

  bool OpenWindow(int window, int x, int y, int width, int height, const Text& title,
                  std::uint32_t style, bool hidden) override;
  bool CreateControl(const ControlDesc& control) override;
  Event WaitForEvent() override;
  int WindowX(int window) override { return windows[window].x; }
  int WindowY(int window) override { return windows[window].y; }
  int WindowWidth(int window) override { return windows[window].width; }
  int WindowHeight(int window) override { return windows[window].height; }
  void ResizeWindow(int window, int x, int y, int width, int height) override;
  void HideWindow(int window, bool hide) override;
  void ActivateWindow(int window) override { ++windows[window].activations; }
  void SetWindowTitle(int window, const Text& title) override { windows[window].title = title; }
  void CloseWindow(int window) override { windows[window].open = false; }
  int ScreenWidth() override { return screenWidth; }

  Text GetText(int id) override;
  void SetText(int id, const Text& text) override { control(id).text = text; }
  int GetState(int id) override { return control(id).state; }
  void SetState(int id, int value) override { control(id).state = value; }
  void AddItem(int id, int position, const Text& text) override;
  int CountItems(int id) override { return static_cast<int>(control(id).items.size()); }
  void EnableControl(int id, bool enable) override { control(id).enabled = enable; }
  void SetActiveControl(int id) override { focusChanges.push_back(id); }
  void SetControlColour(int id, int kind, std::uint32_t colour) override;
  void SetTooltip(int id, const Text& text) override { control(id).tooltip = text; }

  void InsertColumn(int id, int position, const Text& title, int width) override;
  void DeleteAllRows(int id) override;
  int AppendRow(int id, const Text& column0) override;
  void SetCell(int id, int row, int column, const Text& text) override;
  Text GetCell(int id, int row, int column) override;
  void SetRedraw(int id, bool on) override { control(id).redraw = on; }

  int MessageBox(const Text& caption, const Text& text, unsigned flags) override;
  FileDialogResult OpenFileDialog(const Text& title, const Text& defaultFile, const Text& patterns,
                                  int firstIndex) override;
  FileDialogResult SaveFileDialog(const Text& title, const Text& defaultFile, const Text& patterns,
                                  int firstIndex) override;
  PictureHandle PictureFromMemory(int number, const std::uint8_t* data, std::size_t size) override;

  void BeginBusy() override;
  void KeepAlive() override { ++keepAlives; }
  void EndBusy() override { --busyDepth; }
  void End() override { ended = true; }

 private:
  FileDialogResult Dialog(bool save, const Text& title, const Text& patterns, int firstIndex);
  int lastWindow_ = -1;
};

// UTF-8 text (as tests write it) converted to the program's Windows-1251.
Text Cp1251(const std::string& utf8);

}  // namespace romprog::testing
