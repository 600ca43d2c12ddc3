// The window toolkit over plain Win32: two top-level windows, their controls,
// an event queue filled by the window procedure, modal boxes and dialogs.
#pragma once

#include <windows.h>

#include <deque>
#include <map>
#include <vector>

#include "gui/toolkit.h"

namespace romprog::win32 {

struct ControlInfo {
  HWND hwnd = nullptr;
  int window = -1;
  ControlKind kind = ControlKind::Label;
};

class Win32Toolkit : public Toolkit {
 public:
  explicit Win32Toolkit(HINSTANCE instance);
  ~Win32Toolkit() override;
  Win32Toolkit(const Win32Toolkit&) = delete;
  Win32Toolkit& operator=(const Win32Toolkit&) = delete;

  bool OpenWindow(int window, int x, int y, int width, int height, const Text& title,
                  std::uint32_t style, bool hidden) override;
  bool CreateControl(const ControlDesc& control) override;
  Event WaitForEvent() override;
  int WindowX(int window) override;
  int WindowY(int window) override;
  int WindowWidth(int window) override;
  int WindowHeight(int window) override;
  void ResizeWindow(int window, int x, int y, int width, int height) override;
  void HideWindow(int window, bool hide) override;
  void ActivateWindow(int window) override;
  void SetWindowTitle(int window, const Text& title) override;
  void CloseWindow(int window) override;
  int ScreenWidth() override;

  Text GetText(int id) override;
  void SetText(int id, const Text& text) override;
  int GetState(int id) override;
  void SetState(int id, int value) override;
  void AddItem(int id, int position, const Text& text) override;
  int CountItems(int id) override;
  void EnableControl(int id, bool enable) override;
  void SetActiveControl(int id) override;
  void SetControlColour(int id, int kind, std::uint32_t colour) override;
  void SetTooltip(int id, const Text& text) override;

  void InsertColumn(int id, int position, const Text& title, int width) override;
  void DeleteAllRows(int id) override;
  int AppendRow(int id, const Text& column0) override;
  void SetCell(int id, int row, int column, const Text& text) override;
  Text GetCell(int id, int row, int column) override;
  void SetRedraw(int id, bool on) override;

  int MessageBox(const Text& caption, const Text& text, unsigned flags) override;
  FileDialogResult OpenFileDialog(const Text& title, const Text& defaultFile, const Text& patterns,
                                  int firstIndex) override;
  FileDialogResult SaveFileDialog(const Text& title, const Text& defaultFile, const Text& patterns,
                                  int firstIndex) override;

  PictureHandle PictureFromMemory(int number, const std::uint8_t* data, std::size_t size) override;

  void BeginBusy() override;
  void KeepAlive() override;
  void EndBusy() override;

  void End() override;

  // Called by the window procedure of both top-level windows.
  LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  // Toolkit calls change controls; the notifications that follow are not the
  // user's doing and must not become events.
  class Quiet {
   public:
    explicit Quiet(Win32Toolkit& kit) : kit_(kit) { ++kit_.quiet_; }
    ~Quiet() { --kit_.quiet_; }
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;

   private:
    Win32Toolkit& kit_;
  };

  // A modal box or dialog: picks its owner and disables the other windows.
  class ModalScope {
   public:
    explicit ModalScope(Win32Toolkit& kit);
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
    HWND owner() const { return owner_; }

   private:
    Win32Toolkit& kit_;
    HWND owner_ = nullptr;
    std::vector<HWND> disabled_;
    bool wasBusy_ = false;
  };

  HWND WindowHandle(int window) const;
  int WindowNumber(HWND hwnd) const;
  const ControlInfo* Find(int id) const;
  HWND ControlHandle(int id) const;
  bool RegisterWindowClass();
  HWND CreateChild(const ControlDesc& desc, HWND parent);
  void PrepareControl(const ControlDesc& desc, const ControlInfo& info);
  void Post(const Event& event);
  bool OnActivate(int window, bool active);
  void OnEditChange(int id, LPARAM control);
  bool OnNotify(int window, const NMHDR& header, LRESULT& result);
  LRESULT OnControlColour(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void PaintGrid(HWND list, HDC dc) const;
  FileDialogResult FileDialog(bool save, const Text& title, const Text& defaultFile,
                              const Text& patterns, int firstIndex);
  void SetWindowsEnabled(bool enabled);
  bool PumpOne();

  HINSTANCE instance_;
  ATOM windowClass_ = 0;
  HWND windows_[2] = {nullptr, nullptr};
  HWND tooltips_[2] = {nullptr, nullptr};
  HWND lastFocus_[2] = {nullptr, nullptr};
  int lastWindow_ = -1;
  std::map<int, ControlInfo> controls_;
  std::map<int, COLORREF> textColours_;
  std::map<int, COLORREF> gridColours_;
  std::deque<Event> events_;
  std::vector<HBITMAP> pictures_;
  int quiet_ = 0;
  bool busy_ = false;
  DWORD lastKeepAlive_ = 0;
  HWND focusBeforeBusy_ = nullptr;
};

}  // namespace romprog::win32
