#include "fake/fake_platform.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <utility>

namespace kv::fake {

void PostedMessages::deliver() {
  if (delivering_) return;
  delivering_ = true;
  struct Done {
    bool& delivering;
    ~Done() { delivering = false; }
  } done{delivering_};
  while (!queue_.empty()) {
    std::function<void()> message = std::move(queue_.front());
    queue_.pop_front();
    message();
  }
}

void FakeDisks::askFreeSpace(const std::string& root, Answer answer) {
  ++asked[root];
  if (unanswered_[root]++ > 0) ++overlapping;
  if (slow.count(root))
    held_.emplace_back(root, std::move(answer));
  else
    post(root, std::move(answer));
}

void FakeDisks::askLabel(const std::string& root, LabelAnswer answer) {
  heldLabels_.emplace_back(root, std::move(answer));
  if (!labelsHeld) releaseLabels();
}

void FakeDisks::releaseLabels() {
  for (auto& [root, answer] : std::exchange(heldLabels_, {}))
    posted_.post([this, answer = std::move(answer), label = labels.count(root) ? labels[root] : ""] {
      enter_([&] { answer(label); });
    });
}

void FakeDisks::release(const std::string& root) {
  auto held = std::stable_partition(held_.begin(), held_.end(), [&](auto& h) { return h.first != root; });
  for (auto h = held; h != held_.end(); ++h) post(h->first, std::move(h->second));
  held_.erase(held, held_.end());
}

void FakeDisks::post(const std::string& root, Answer answer) {
  std::optional<DiskCounters> now;
  if (answers.count(root)) now = answers[root];
  posted_.post([this, root, answer = std::move(answer), now] {
    --unanswered_[root];
    enter_([&] { answer(now); });
  });
}

// The outer size around the layout's client area, laid out at the window's DPI, on the desktop
// whose twips are the primary monitor's.
void FakeDesktop::sizeFrame(FakeWindow& w) {
  constexpr int kFrame = 45, kCaption = 270;  // twips
  int caption = w.layout.style == WindowStyle::Dialog ? kCaption : 0;
  const int primaryDpi = screens.front().dpi;
  w.bounds.width = (w.layout.clientWidth + 2 * kFrame) * w.dpi / primaryDpi;
  w.bounds.height = (w.layout.clientHeight + 2 * kFrame + caption) * w.dpi / primaryDpi;
}

// The DPI of the monitor that holds the rectangle's centre; the primary's when none does.
int FakeDesktop::dpiAt(const Rect& r) const {
  const Rect centre{r.left + r.width / 2, r.top + r.height / 2, 1, 1};
  for (const FakeMonitor& m : screens)
    if (m.area.overlaps(centre)) return m.dpi;
  return screens.front().dpi;
}

void FakeDesktop::moveTo(WindowHandle h, int left, int top) {
  FakeWindow& w = at(h);
  w.bounds.left = left;
  w.bounds.top = top;
  rescale(h, dpiAt(w.bounds));
}

void FakeDesktop::rescale(WindowHandle h, int dpi) {
  FakeWindow& w = at(h);
  if (dpi == w.dpi) return;
  w.dpi = dpi;
  sizeFrame(w);
  w.sink->rescaled();
}

std::vector<Rect> FakeDesktop::monitors() {
  std::vector<Rect> out;
  for (const FakeMonitor& m : screens) out.push_back(m.area);
  return out;
}

std::vector<WindowEvents*> FakeDesktop::sinks() const {
  std::vector<WindowEvents*> out;
  for (const auto& [handle, w] : windows_) out.push_back(w.sink);
  return out;
}

WindowHandle FakeDesktop::create(const WindowLayout& layout, WindowEvents& sink) {
  WindowHandle h = next_ += 4;
  FakeWindow& w = windows_[h];
  w.handle = h;
  w.layout = layout;
  w.sink = &sink;
  w.dpi = dpiAt(Rect{});  // made at the primary's top left, a dialog centred on the primary
  sizeFrame(w);
  const Rect primary = screens.front().area;
  if (layout.style == WindowStyle::Dialog)
    w.bounds.left = primary.left + (primary.width - w.bounds.width) / 2,
    w.bounds.top = primary.top + (primary.height - w.bounds.height) / 2;
  for (const auto& c : layout.controls) w.controls[c.id] = FakeControl{c, c.text, c.visible, false, {}, -1};
  ++created[layout.name];
  return h;
}

// Only places and sizes change; the controls keep their state.
void FakeDesktop::relayout(WindowHandle h, const WindowLayout& layout) {
  FakeWindow& w = at(h);
  w.layout.clientWidth = layout.clientWidth;
  w.layout.clientHeight = layout.clientHeight;
  sizeFrame(w);
  for (const auto& c : layout.controls) w.controls.at(c.id).layout.rect = c.rect;
}

// Leaving the screen, a modal window gives its owner input back, and the activation when it had it.
void FakeDesktop::hide(WindowHandle h) {
  at(h).visible = false;
  bool wasActive = active_ == h;
  if (wasActive) active_ = 0;
  auto frame = std::find_if(modal_.begin(), modal_.end(), [h](auto& f) { return f.first == h; });
  if (frame == modal_.end()) return;
  WindowHandle owner = frame->second;
  modal_.erase(frame);
  if (!windows_.count(owner)) return;
  at(owner).enabled = true;
  if (wasActive) makeActive(owner);
}

void FakeDesktop::activate(WindowHandle h) {
  if (windows_.count(h) && at(h).visible && at(h).enabled) makeActive(h);
}

// Becoming the foreground window, shown or not, tells the window so.
int FakeDesktop::nextFocus(const FakeWindow& w, int after) {
  std::vector<int> order;  // in the layout's order, from the one after, round to the first
  for (const ControlLayout& c : w.layout.controls) {
    const ControlKind k = c.kind;
    if ((k == ControlKind::Button || k == ControlKind::CheckBox || k == ControlKind::DriveList ||
         k == ControlKind::Picture) &&
        w.controls.at(c.id).visible)
      order.push_back(c.id);
  }
  const auto at = std::find(order.begin(), order.end(), after);
  if (at != order.end()) std::rotate(order.begin(), at + 1, order.end());
  for (int id : order)
    if (id != after) return id;
  return 0;
}

// Activated, a dialog gives the focus back to the control that had it, or to its first.
void FakeDesktop::makeActive(WindowHandle h) {
  if (active_ == h || !windows_.count(h)) return;
  active_ = h;
  FakeWindow& w = at(h);
  if (w.layout.style == WindowStyle::Dialog && (!w.focus || !w.controls.at(w.focus).visible)) w.focus = nextFocus(w, 0);
  if (onActivate) onActivate(at(h).layout.name);
  at(h).sink->activated();
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
      if (d.windows_.count(h) && d.at(h).visible) d.hide(h);
    }
  } leave{*this, h};
  makeActive(h);
  posted_.deliver();
  if (!onModal.empty()) {
    auto act = onModal.front();
    onModal.pop_front();
    act(std::string(at(h).layout.name));
  }
  posted_.deliver();
  if (stillOpen() && windows_.count(h)) at(h).sink->closeRequested();
  if (stillOpen()) throw std::logic_error("a modal window stayed open");
}

int FakeDesktop::popupMenu(WindowHandle owner, const Menu& menu) {
  makeActive(owner);  // so that the menu closes on a click elsewhere
  menusShown.push_back(menu);
  menuCorner = pointer;
  posted_.deliver();
  if (onMenu.empty()) return 0;
  auto pick = onMenu.front();
  onMenu.pop_front();
  int chosen = pick(menu);
  posted_.deliver();
  return chosen;
}

// As the adapter shows one: while the box is up the program's other windows take no input, and
// they take it again as the box closes, before the owner is activated. The box itself takes the
// activation, and its owner's input if the owner had any. Closed, it gives the input back and
// activates the owner, as long as the owner takes input by then; otherwise, or without an owner,
// the activation goes to some other program.
void FakeDesktop::messageBox(WindowHandle owner, const std::string& text, const std::string& caption) {
  struct Up {  // the program's part, undone once whatever way the box ends
    FakeDesktop& d;
    std::vector<WindowHandle> others;
    bool over = false;
    void end() {
      if (std::exchange(over, true)) return;
      for (WindowHandle h : others)
        if (d.windows_.count(h)) d.at(h).enabled = true;
      --d.boxesUp_;
    }
    ~Up() { end(); }
  } up{*this, {}};
  ++boxesUp_;
  for (auto& [h, w] : windows_)
    if (h != owner && w.enabled) w.enabled = false, up.others.push_back(h);

  messages.push_back(caption == kProgramTitle ? text : "(captioned " + caption + ") " + text);
  boxOwners.push_back(windows_.count(owner) ? at(owner).layout.name : "");
  const bool ownerDisabled = windows_.count(owner) && at(owner).enabled;
  if (ownerDisabled) at(owner).enabled = false;
  active_ = 0;
  posted_.deliver();  // the box's own loop delivers what was posted
  if (!onMessageBox.empty()) {
    auto act = onMessageBox.front();
    onMessageBox.pop_front();
    act();
  }
  posted_.deliver();
  if (ownerDisabled && windows_.count(owner)) at(owner).enabled = true;
  const bool ownerActivated = windows_.count(owner) && at(owner).enabled;
  up.end();  // the box has left the screen; the owner's activation begins
  if (ownerActivated) makeActive(owner);
}

FakeWindow* FakeDesktop::dueTimer(unsigned long long until) {
  FakeWindow* first = nullptr;
  for (auto& [h, w] : windows_)
    if (w.timerPeriod && w.timerDue <= until && (!first || w.timerDue < first->timerDue)) first = &w;
  if (first) now = first->timerDue, first->timerDue += first->timerPeriod;
  return first;
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

bool FakeShell::notifyIcon(TrayCommand command, const TrayRecord& record) {
  // An icon is its window and number: a record naming another is one the shell does not have.
  const bool ours = iconPresent && record.hWnd == iconWindow_ && record.uID == iconId_;
  if (!takesIcons || (command == TrayCommand::Add ? iconPresent : !ours)) {
    ++refused;
    return false;
  }
  ++taken;
  iconPresent = command != TrayCommand::Delete;
  iconWindow_ = record.hWnd, iconId_ = record.uID;
  constexpr unsigned kMessage = 1, kIcon = 2, kTip = 4;  // the record's flags
  if (!iconPresent) {
    tip_.clear(), callbackWindow = 0, callbackMessage = 0, icon = 0;
    return true;
  }
  if (record.uFlags & kMessage) callbackWindow = record.hWnd, callbackMessage = record.uCallbackMessage;
  if (record.uFlags & kIcon) icon = record.hIcon;
  if (record.uFlags & kTip) tip_ = std::string(record.szTip.data(), strnlen(record.szTip.data(), record.szTip.size()));
  return true;
}

std::optional<std::string> FakeFiles::read(const std::string& path, std::size_t limit) {
  auto it = entries.find(path);
  if (it == entries.end() || it->second.unreadable) return std::nullopt;
  largestRead = std::max(largestRead, std::min(limit, it->second.bytes.size()));
  return it->second.bytes.substr(0, limit);
}

std::string FakeFiles::writeAtomic(const std::string& path, const std::string& bytes) {
  if (!writeFailure.empty()) return ++failedWrites, writeFailure;
  // As Windows says it, a folder missing, and a read-only file or a folder where the file would be.
  if (!folders.count(path.substr(0, path.rfind('\\'))))
    return ++failedWrites, "The system cannot find the path specified.";
  if ((entries.count(path) && entries[path].readOnly) || folders.count(path))
    return ++failedWrites, "Access is denied.";
  ++writes;
  entries[path] = Entry{bytes};
  if (onWrite) onWrite(bytes);
  return "";
}

void FakePlatform::underTheRule(const std::function<void()>& entry, UnderBox underBox) {
  if (desktop.messageBoxUp()) {
    if (underBox == UnderBox::BringsItUp) desktop.bringMessageBoxToFront();
    if (underBox != UnderBox::Runs) return;
  }
  std::string reason;
  try {
    entry();
    return;
  } catch (const std::exception& e) {  // not ProcessEnded: the end goes on out
    reason = e.what();
  }
  desktop.messageBox(0, kFailureNotice.lead + "\r\n\r\n" + reason, kFailureNotice.caption);
  process.end(1);
}

}  // namespace kv::fake
