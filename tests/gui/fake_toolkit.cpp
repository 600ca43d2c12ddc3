#include "tests/gui/fake_toolkit.h"

#include <stdexcept>

namespace romprog::testing {

FakeControl& FakeToolkit::control(int id) {
  auto it = controls.find(id);
  if (it == controls.end()) throw std::out_of_range("no control " + std::to_string(id));
  return it->second;
}

bool FakeToolkit::OpenWindow(int window, int x, int y, int width, int height, const Text& title,
                             std::uint32_t style, bool hidden) {
  if (window >= 0 && window < 2 && failOpenWindow[window]) return false;
  windows[window] = FakeWindow{true, x, y, width, height, title, style, hidden, 0};
  lastWindow_ = window;
  return true;
}

bool FakeToolkit::CreateControl(const ControlDesc& desc) {
  FakeControl c;
  c.desc = desc;
  c.window = lastWindow_;
  c.text = desc.text;
  if (desc.kind == ControlKind::Combo || desc.kind == ControlKind::List) c.state = -1;
  controls[desc.id] = c;
  creationOrder.push_back(desc.id);
  return true;
}

Event FakeToolkit::WaitForEvent() {
  if (events.empty()) return Event{EventKind::Close, 0, 0, 0};
  Event e = events.front();
  events.pop_front();
  // A toggle has flipped by the time its event is read.
  if (e.kind == EventKind::Control && controls.count(e.control) &&
      controls[e.control].desc.kind == ControlKind::Toggle) {
    controls[e.control].state ^= 1;
  }
  return e;
}

void FakeToolkit::ResizeWindow(int window, int x, int y, int width, int height) {
  FakeWindow& w = windows[window];
  w.x = x;
  w.y = y;
  w.width = width;
  w.height = height;
}

void FakeToolkit::HideWindow(int window, bool hide) {
  windows[window].hidden = hide;
  if (!hide) ++windows[window].activations;
}

Text FakeToolkit::GetText(int id) {
  FakeControl& c = control(id);
  if (c.desc.kind == ControlKind::Combo) {
    if (c.state < 0 || c.state >= static_cast<int>(c.items.size())) return "";
    return c.items[c.state];
  }
  return c.text;
}

void FakeToolkit::AddItem(int id, int position, const Text& text) {
  auto& items = control(id).items;
  if (position < 0 || position > static_cast<int>(items.size())) {
    items.push_back(text);
  } else {
    items.insert(items.begin() + position, text);
  }
}

void FakeToolkit::SetControlColour(int id, int kind, std::uint32_t colour) {
  control(id).colours[kind] = colour;
}

void FakeToolkit::InsertColumn(int id, int position, const Text& title, int width) {
  auto& columns = control(id).columns;
  columns.insert(columns.begin() + std::min<std::size_t>(position, columns.size()), {title, width});
}

void FakeToolkit::DeleteAllRows(int id) {
  control(id).rows.clear();
  control(id).state = -1;
}

int FakeToolkit::AppendRow(int id, const Text& column0) {
  FakeControl& c = control(id);
  c.rows.push_back(std::vector<Text>(c.columns.size(), Text()));
  c.rows.back()[0] = column0;
  return static_cast<int>(c.rows.size()) - 1;
}

void FakeToolkit::SetCell(int id, int row, int column, const Text& text) {
  control(id).rows.at(row).at(column) = text;
  ++cellWrites;
}

Text FakeToolkit::GetCell(int id, int row, int column) {
  return control(id).rows.at(row).at(column);
}

int FakeToolkit::MessageBox(const Text& caption, const Text& text, unsigned flags) {
  boxes.push_back({caption, text, flags});
  if (onBox) onBox(boxes.back());
  if (boxAnswers.empty()) return 1;
  int answer = boxAnswers.front();
  boxAnswers.pop_front();
  return answer;
}

FileDialogResult FakeToolkit::Dialog(bool save, const Text& title, const Text& patterns,
                                     int firstIndex) {
  dialogs.push_back({save, title, patterns, firstIndex});
  if (dialogAnswers.empty()) return {};
  FileDialogResult answer = dialogAnswers.front();
  dialogAnswers.pop_front();
  return answer;
}

FileDialogResult FakeToolkit::OpenFileDialog(const Text& title, const Text&, const Text& patterns,
                                             int firstIndex) {
  return Dialog(false, title, patterns, firstIndex);
}

FileDialogResult FakeToolkit::SaveFileDialog(const Text& title, const Text&, const Text& patterns,
                                             int firstIndex) {
  return Dialog(true, title, patterns, firstIndex);
}

PictureHandle FakeToolkit::PictureFromMemory(int number, const std::uint8_t* data,
                                             std::size_t size) {
  if (size < 2 || data[0] != 0xFF || data[1] != 0xD8) return 0;
  return static_cast<PictureHandle>(0x1000 + number);
}

void FakeToolkit::BeginBusy() {
  ++busyDepth;
  ++busyBegins;
}

Text Cp1251(const std::string& utf8) {
  Text out;
  for (std::size_t i = 0; i < utf8.size();) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    if ((c & 0xE0) != 0xC0 || i + 1 >= utf8.size()) throw std::invalid_argument("not 2-byte");
    unsigned cp = ((c & 0x1F) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F);
    i += 2;
    if (cp >= 0x410 && cp <= 0x44F) {
      out += static_cast<char>(cp - 0x410 + 0xC0);
    } else if (cp == 0x401) {
      out += static_cast<char>(0xA8);
    } else if (cp == 0x451) {
      out += static_cast<char>(0xB8);
    } else {
      throw std::invalid_argument("no Windows-1251 code for this test text");
    }
  }
  return out;
}

}  // namespace romprog::testing
