// The window toolkit: the only way the commands reach windows, controls,
// message boxes and file dialogs. One implementation drives Win32; the unit
// tests use a fake that records what the commands do.
//
// All texts are Windows-1251 bytes; the Win32 implementation converts them at
// its boundary. Windows are numbered (0 the control window, 1 the buffer
// window); controls carry ids unique across both windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/text.h"

// <windows.h> maps MessageBox to MessageBoxA/W; the operation below keeps its own name.
#ifdef MessageBox
#undef MessageBox
#endif

namespace romprog {

using PictureHandle = std::uintptr_t;  // a decoded button picture, 0 for none

enum class EventKind { Control, Close, Other };

struct Event {
  EventKind kind = EventKind::Other;
  int control = 0;  // id of the control that raised a control event
  int window = -1;  // number of the window a close request is for
  int subtype = 0;  // which mouse action and so on; read, never decisive
};

// What a control is to the commands: it decides what its text and its state
// mean (a toggle's check, a combo box's or a list's selection, a progress
// bar's position).
enum class ControlKind { Label, Frame, PushButton, Toggle, Combo, Progress, List, Edit };

// One control as the window tables give it. `style` is complete (WS_CHILD and
// WS_VISIBLE included); `className` is the Win32 class name.
struct ControlDesc {
  int id = 0;
  ControlKind kind = ControlKind::Label;
  const char* className = "";
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  int x = 0, y = 0, width = 0, height = 0;
  Text text;
  PictureHandle picture = 0;  // drawn over the face of an image button
  // A ComboBox is created this tall so its dropped list reaches that far below
  // its top; `height` is the closed box. 0 for other controls.
  int dropHeight = 0;
};

struct FileDialogResult {
  Text path;             // "" after a cancel or a failure
  int filterIndex = -1;  // chosen pattern entry, from 0; -1 after a cancel
};

enum ColourKind : int { kColourText = 1, kColourGrid = 3 };

class Toolkit {
 public:
  virtual ~Toolkit() = default;

  // --- windows ---------------------------------------------------------
  // x, y place the outer frame; width, height are the client area.
  virtual bool OpenWindow(int window, int x, int y, int width, int height, const Text& title,
                          std::uint32_t style, bool hidden) = 0;
  // Creates a control in the window opened last, with DEFAULT_GUI_FONT. A
  // progress bar gets the range 0 to 100.
  virtual bool CreateControl(const ControlDesc& control) = 0;
  virtual Event WaitForEvent() = 0;
  virtual int WindowX(int window) = 0;  // outer frame
  virtual int WindowY(int window) = 0;
  virtual int WindowWidth(int window) = 0;  // client area
  virtual int WindowHeight(int window) = 0;
  // Keeps z-order and activation.
  virtual void ResizeWindow(int window, int x, int y, int width, int height) = 0;
  // hide: true hides; false shows (restoring a minimised state) and activates.
  virtual void HideWindow(int window, bool hide) = 0;
  virtual void ActivateWindow(int window) = 0;
  virtual void SetWindowTitle(int window, const Text& title) = 0;
  virtual void CloseWindow(int window) = 0;
  virtual int ScreenWidth() = 0;  // GetSystemMetrics(SM_CXSCREEN)

  // --- controls ----------------------------------------------------------
  // For a drop-down list: the selected item's text, "" when none.
  virtual Text GetText(int id) = 0;
  virtual void SetText(int id, const Text& text) = 0;
  // Toggle 1 pressed / 0 released; combo box selected index; progress bar
  // position; list selected row (-1 when none).
  virtual int GetState(int id) = 0;
  virtual void SetState(int id, int value) = 0;
  // position -1 appends.
  virtual void AddItem(int id, int position, const Text& text) = 0;
  virtual int CountItems(int id) = 0;
  virtual void EnableControl(int id, bool enable) = 0;
  virtual void SetActiveControl(int id) = 0;
  virtual void SetControlColour(int id, int kind, std::uint32_t colour) = 0;
  virtual void SetTooltip(int id, const Text& text) = 0;

  // --- list view ---------------------------------------------------------
  virtual void InsertColumn(int id, int position, const Text& title, int width) = 0;
  virtual void DeleteAllRows(int id) = 0;
  virtual int AppendRow(int id, const Text& column0) = 0;  // the new row's index
  virtual void SetCell(int id, int row, int column, const Text& text) = 0;
  virtual Text GetCell(int id, int row, int column) = 0;
  // Suspends (false) and resumes (true) painting of a control around a rebuild.
  virtual void SetRedraw(int id, bool on) = 0;

  // --- modal boxes and dialogs --------------------------------------------
  // Returns the button pressed (IDOK 1, IDYES 6, IDNO 7).
  virtual int MessageBox(const Text& caption, const Text& text, unsigned flags) = 0;
  virtual FileDialogResult OpenFileDialog(const Text& title, const Text& defaultFile,
                                          const Text& patterns, int firstIndex) = 0;
  virtual FileDialogResult SaveFileDialog(const Text& title, const Text& defaultFile,
                                          const Text& patterns, int firstIndex) = 0;

  // --- pictures ------------------------------------------------------------
  // Decodes a JPEG stream into a bitmap kept until the toolkit ends; 0 on failure.
  virtual PictureHandle PictureFromMemory(int number, const std::uint8_t* data,
                                          std::size_t size) = 0;

  // --- long commands -------------------------------------------------------
  // A chip command keeps the thread for up to a minute. Between BeginBusy and
  // EndBusy the program's windows take no input; KeepAlive lets them repaint
  // (it returns at once when called again too soon).
  virtual void BeginBusy() = 0;
  virtual void KeepAlive() = 0;
  virtual void EndBusy() = 0;

  // The toolkit's own end: destroys what remains.
  virtual void End() = 0;
};

}  // namespace romprog
