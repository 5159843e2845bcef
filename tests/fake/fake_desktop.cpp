#include <stdexcept>

#include "fake/fake_platform.h"

namespace kv::fake {

namespace {
constexpr int kFrame = 45;     // twips each side
constexpr int kCaption = 270;  // twips
}  // namespace

WindowHandle FakeDesktop::create(const WindowLayout& layout, WindowEvents& sink) {
  WindowHandle h = next_;
  next_ += 4;
  FakeWindow w;
  w.layout = layout;
  w.sink = &sink;
  int extra = layout.style == WindowStyle::Dialog ? kCaption : 0;
  w.bounds = Rect{0, 0, layout.clientWidth + 2 * kFrame, layout.clientHeight + 2 * kFrame + extra};
  for (const auto& c : layout.controls) w.controls[c.id] = FakeControl{c, c.text, c.visible, false, {}, -1};
  windows_[h] = w;
  log_.push_back("create " + layout.name);
  return h;
}

void FakeDesktop::destroy(WindowHandle h) {
  std::string name = nameOf(h);
  modalLeaves(h);
  if (active_ == h) active_ = 0;
  if (programActive_ == h) programActive_ = 0;
  windows_.erase(h);
  log_.push_back("destroy " + name);
}

void FakeDesktop::show(WindowHandle h) {
  windows_.at(h).visible = true;
  log_.push_back("show " + nameOf(h));
  activate(h);
}

void FakeDesktop::activate(WindowHandle h) {
  auto it = windows_.find(h);
  if (it != windows_.end() && it->second.visible && it->second.enabled) makeActive(h);
}

void FakeDesktop::makeActive(WindowHandle h) {
  auto it = windows_.find(h);
  if (it == windows_.end() || active_ == h) return;
  active_ = h;
  // Counted as the program counts them: the hidden tray window never, nor coming back to the
  // window that was active before the user switched to another program.
  if (it->second.layout.style != WindowStyle::Hidden && programActive_ != h) {
    programActive_ = h;
    ++activations[it->second.layout.name];
  }
  it->second.sink->activated();
}

void FakeDesktop::modalLeaves(WindowHandle h) {
  for (auto frame = modal_.begin(); frame != modal_.end(); ++frame) {
    if (frame->window != h) continue;
    WindowHandle owner = frame->owner;
    modal_.erase(frame);
    auto o = windows_.find(owner);
    if (o == windows_.end()) return;
    o->second.enabled = true;
    if (active_ == h) makeActive(owner);
    return;
  }
}

void FakeDesktop::hide(WindowHandle h) {
  windows_.at(h).visible = false;
  log_.push_back("hide " + nameOf(h));
  modalLeaves(h);
  if (active_ == h) active_ = 0;
  if (programActive_ == h) programActive_ = 0;
}

void FakeDesktop::bringToFront(WindowHandle h) {
  log_.push_back("front " + nameOf(h));
  activate(h);
}

void FakeDesktop::runModal(WindowHandle h, WindowHandle owner, const std::function<bool()>& stillOpen) {
  FakeWindow& w = windows_.at(h);
  w.visible = true;
  auto ownerWindow = windows_.find(owner);
  if (ownerWindow != windows_.end()) ownerWindow->second.enabled = false;
  modal_.push_back(ModalFrame{h, owner});
  log_.push_back("modal " + w.layout.name + " owner " + nameOf(owner));
  ++modalDepth;
  makeActive(h);
  struct Leave {
    FakeDesktop& d;
    WindowHandle h;
    ~Leave() {
      --d.modalDepth;
      d.modalLeaves(h);
    }
  } leave{*this, h};
  if (!onModal.empty()) {
    auto act = onModal.front();
    onModal.pop_front();
    act(h);
  }
  if (stillOpen() && windows_.count(h)) windows_.at(h).sink->closeRequested();
  if (stillOpen()) throw std::logic_error("a modal window stayed open");
}

Rect FakeDesktop::bounds(WindowHandle h) {
  return windows_.at(h).bounds;
}

void FakeDesktop::moveTo(WindowHandle h, int left, int top) {
  Rect& b = windows_.at(h).bounds;
  b.left = left;
  b.top = top;
  log_.push_back("move " + nameOf(h) + " " + std::to_string(left) + " " + std::to_string(top));
}

void FakeDesktop::setTopmost(WindowHandle h, bool on) {
  windows_.at(h).topmost = on;
  log_.push_back("topmost " + nameOf(h) + (on ? " on" : " off"));
}

FakeControl& FakeDesktop::control(WindowHandle h, int id) {
  auto& controls = windows_.at(h).controls;
  auto it = controls.find(id);
  if (it == controls.end()) throw std::logic_error("no control " + std::to_string(id));
  return it->second;
}

void FakeDesktop::setText(WindowHandle h, int id, const std::string& text) {
  control(h, id).text = text;
  ++windows_.at(h).textWrites;
}

void FakeDesktop::setVisible(WindowHandle h, int id, bool visible) {
  control(h, id).visible = visible;
}
void FakeDesktop::setChecked(WindowHandle h, int id, bool checked) {
  control(h, id).checked = checked;
}

void FakeDesktop::setItems(WindowHandle h, int id, const std::vector<std::string>& items, int current) {
  FakeControl& c = control(h, id);
  c.items = items;
  c.current = current;
}

std::string FakeDesktop::currentItem(WindowHandle h, int id) {
  FakeControl& c = control(h, id);
  if (c.current < 0 || c.current >= static_cast<int>(c.items.size())) return std::string();
  return c.items[c.current];
}

void FakeDesktop::selectItem(const std::string& name, int id, int index) {
  control(handleOf(name), id).current = index;
}

void FakeDesktop::startTimer(WindowHandle h, unsigned ms) {
  FakeWindow& w = windows_.at(h);
  w.timerRunning = true;
  w.timerInterval = ms;
  log_.push_back("timer " + w.layout.name + " start " + std::to_string(ms));
}

void FakeDesktop::stopTimer(WindowHandle h) {
  windows_.at(h).timerRunning = false;
  log_.push_back("timer " + nameOf(h) + " stop");
}

int FakeDesktop::popupMenu(WindowHandle owner, const Menu& menu) {
  log_.push_back("popup " + menu.name + " on " + nameOf(owner));
  // As on Windows, the owner is made the foreground window so that the menu closes on a click
  // elsewhere; it stays the active window after the menu.
  makeActive(owner);
  menusShown.push_back(menu);
  if (onMenu.empty()) return 0;
  auto pick = onMenu.front();
  onMenu.pop_front();
  return pick(menu);
}

void FakeDesktop::showMessageBox(WindowHandle, const std::string& text, const std::string& caption) {
  messages.emplace_back(text, caption);
  log_.push_back("message " + text);
  // The box's own loop: the program's windows are disabled, and the user acts meanwhile.
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
    if (windows_.count(h)) windows_.at(h).enabled = true;
}

FakeWindow* FakeDesktop::find(const std::string& name) {
  for (auto& [h, w] : windows_)
    if (w.layout.name == name) return &w;
  return nullptr;
}

FakeWindow& FakeDesktop::window(const std::string& name) {
  FakeWindow* w = find(name);
  if (!w) throw std::logic_error("window " + name + " does not exist");
  return *w;
}

WindowHandle FakeDesktop::handleOf(const std::string& name) {
  for (auto& [h, w] : windows_)
    if (w.layout.name == name) return h;
  throw std::logic_error("window " + name + " does not exist");
}

std::string FakeDesktop::nameOf(WindowHandle h) const {
  auto it = windows_.find(h);
  return it == windows_.end() ? (h ? "?" : "none") : it->second.layout.name;
}

}  // namespace kv::fake
