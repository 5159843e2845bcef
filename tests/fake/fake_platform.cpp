#include "fake/fake_platform.h"

#include <algorithm>
#include <stdexcept>

namespace kv::fake {

WindowHandle FakeDesktop::create(const WindowLayout& layout, WindowEvents& sink) {
  constexpr int kFrame = 45, kCaption = 270;  // twips
  WindowHandle h = next_ += 4;
  FakeWindow& w = windows_[h];
  w.layout = layout;
  w.sink = &sink;
  int caption = layout.style == WindowStyle::Dialog ? kCaption : 0;
  w.bounds = Rect{0, 0, layout.clientWidth + 2 * kFrame, layout.clientHeight + 2 * kFrame + caption};
  for (const auto& c : layout.controls) w.controls[c.id] = FakeControl{c, c.text, c.visible, false, {}, -1};
  ++created[layout.name];
  return h;
}

void FakeDesktop::destroy(WindowHandle h) {
  modalLeaves(h);
  if (active_ == h) active_ = 0;
  windows_.erase(h);
}

void FakeDesktop::show(WindowHandle h) {
  at(h).visible = true;
  activate(h);
}

void FakeDesktop::hide(WindowHandle h) {
  at(h).visible = false;
  modalLeaves(h);
  if (active_ == h) active_ = 0;
}

void FakeDesktop::activate(WindowHandle h) {
  auto it = windows_.find(h);
  if (it != windows_.end() && it->second.visible && it->second.enabled) makeActive(h);
}

// Becoming the foreground window, shown or not, tells the window so.
void FakeDesktop::makeActive(WindowHandle h) {
  if (active_ == h || !windows_.count(h)) return;
  active_ = h;
  at(h).sink->activated();
}

// A modal window leaves the screen: its owner takes input again and, when the modal window
// was the active one, becomes active.
void FakeDesktop::modalLeaves(WindowHandle h) {
  auto frame = std::find_if(modal_.begin(), modal_.end(), [h](auto& f) { return f.first == h; });
  if (frame == modal_.end()) return;
  WindowHandle owner = frame->second;
  modal_.erase(frame);
  if (!windows_.count(owner)) return;
  at(owner).enabled = true;
  if (active_ == h) makeActive(owner);
}

void FakeDesktop::runModal(WindowHandle h, WindowHandle owner, const std::function<bool()>& stillOpen) {
  at(h).visible = true;
  if (windows_.count(owner)) at(owner).enabled = false;
  modal_.emplace_back(h, owner);
  ++modalDepth;
  struct Leave {
    FakeDesktop& d;
    WindowHandle h;
    ~Leave() {
      --d.modalDepth;
      d.modalLeaves(h);
    }
  } leave{*this, h};
  makeActive(h);
  if (!onModal.empty()) {
    auto act = onModal.front();
    onModal.pop_front();
    act(std::string(at(h).layout.name));
  }
  if (stillOpen() && windows_.count(h)) at(h).sink->closeRequested();
  if (stillOpen()) throw std::logic_error("a modal window stayed open");
}

void FakeDesktop::moveTo(WindowHandle h, int left, int top) {
  at(h).bounds.left = left;
  at(h).bounds.top = top;
}

void FakeDesktop::setItems(WindowHandle h, int id, const std::vector<std::string>& items, int current) {
  control(h, id).items = items;
  control(h, id).current = current;
}

std::string FakeDesktop::currentItem(WindowHandle h, int id) {
  FakeControl& c = control(h, id);
  return c.current >= 0 && c.current < static_cast<int>(c.items.size()) ? c.items[c.current] : std::string();
}

int FakeDesktop::popupMenu(WindowHandle owner, const Menu& menu) {
  makeActive(owner);  // so that the menu closes on a click elsewhere
  menusShown.push_back(menu);
  if (onMenu.empty()) return 0;
  auto pick = onMenu.front();
  onMenu.pop_front();
  return pick(menu);
}

void FakeDesktop::showMessageBox(WindowHandle, const std::string& text, const std::string& caption) {
  messages.push_back(caption == kProgramTitle ? text : "(captioned " + caption + ") " + text);
  std::vector<WindowHandle> disabled;
  for (auto& [h, w] : windows_)
    if (w.enabled) {
      w.enabled = false;
      disabled.push_back(h);
    }
  if (!onMessageBox.empty()) {
    auto act = onMessageBox.front();
    onMessageBox.pop_front();
    act();
  }
  for (WindowHandle h : disabled)
    if (windows_.count(h)) at(h).enabled = true;
}

FakeWindow* FakeDesktop::find(const std::string& name) {
  for (auto& [h, w] : windows_)
    if (w.layout.name == name) return &w;
  return nullptr;
}

FakeWindow& FakeDesktop::window(const std::string& name) {
  if (FakeWindow* w = find(name)) return *w;
  throw std::logic_error("window " + name + " does not exist");
}

WindowHandle FakeDesktop::handleOf(const std::string& name) {
  for (auto& [h, w] : windows_)
    if (w.layout.name == name) return h;
  throw std::logic_error("window " + name + " does not exist");
}

void FakeShell::notifyIcon(TrayCommand command, const TrayRecord& record) {
  bool wanted = command == TrayCommand::Add ? !iconPresent : iconPresent;
  if (!wanted) {
    ++refused;
    return;
  }
  iconPresent = command != TrayCommand::Delete;
  lastRecord = record;
}

int FakeShell::findExecutable(const std::string& document, std::string& program) {
  if (duringLookup) duringLookup(document);
  if (findResult > 32) program = "  C:\\Browser\\browse.exe  ";
  return findResult;
}

int FakeShell::execute(unsigned long, const std::string& program, const std::string& parameters) {
  if (executeResult > 32) started.push_back(program + " " + parameters);
  return executeResult;
}

bool FakeDisks::freeSpace(const std::string& root, DiskCounters& counters) {
  auto it = answers.find(root);
  if (it == answers.end()) return false;  // the counters are left as they were
  counters = it->second;
  return true;
}

bool FakeFiles::normalFileExists(const std::string& path) {
  auto it = entries.find(path);
  return it != entries.end() && !it->second.hidden && !it->second.system && !it->second.folder;
}

std::optional<std::string> FakeFiles::read(const std::string& path, std::size_t limit) {
  auto it = entries.find(path);
  if (it == entries.end() || it->second.folder || it->second.unreadable) return std::nullopt;
  std::string bytes = it->second.bytes.substr(0, limit);
  largestRead = std::max(largestRead, bytes.size());
  return bytes;
}

std::string FakeFiles::writeAtomic(const std::string& path, const std::string& bytes) {
  if (!writeFailure.empty()) {
    ++failedWrites;
    return writeFailure;
  }
  ++writes;
  entries[path] = Entry{bytes};
  if (onWrite) onWrite(bytes);
  return std::string();
}

std::string FakeFiles::createTemporary(const std::string& extension, const std::string& bytes) {
  std::string path = "C:\\Temp\\kv99-" + std::to_string(++temporaries_) + extension;
  entries[path] = Entry{bytes};
  return path;
}

}  // namespace kv::fake
