#include "forms/form.h"

#include <algorithm>

#include "platform/failure.h"

namespace kv {

Form::~Form() = default;

WindowHandle Form::handle() {
  loadOnRead();
  return handle_;
}

void Form::loadOnRead() {
  if (loaded()) return;
  ++host_.loadsOnRead;
  load();
}

void Form::load() {
  if (loaded()) return;
  WindowLayout layout = describe();
  helpTopic_ = layout.helpTopic;
  hiddenKind_ = layout.style == WindowStyle::Hidden;
  controls_.clear();
  for (const auto& c : layout.controls) controls_[c.id] = ControlState{c.text, c.visible, false};
  handle_ = desktop().create(layout, *this);
  state_ = State::Hidden;
  unsigned generation = ++generation_;
  onLoad(LoadTicket(*this, generation));
}

void Form::unload() {
  if (!loaded() || unloading_) return;
  unloading_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{unloading_};
  WindowHandle gone = handle_;
  stopBeingActive();
  state_ = State::NotLoaded;
  handle_ = 0;
  ++generation_;
  controls_.clear();
  resetState();
  desktop().destroy(gone);
  onUnloaded();
}

bool Form::modalIsUp() const {
  return !host_.modalStack.empty();
}

void Form::bringModalToFront() {
  desktop().bringToFront(host_.modalStack.back()->handle_);
}

void Form::show() {
  load();
  if (!loaded()) return;
  if (visible()) {
    desktop().bringToFront(handle_);
    return;
  }
  // While a modal window is up the program shows nothing new beside it; the user is taken to
  // the window that waits for an answer.
  if (modalIsUp()) {
    bringModalToFront();
    return;
  }
  state_ = State::Shown;
  desktop().show(handle_);
}

void Form::showModal(Form& owner) {
  load();
  if (!loaded()) return;
  if (visible()) {
    desktop().bringToFront(handle_);
    return;
  }
  WindowHandle ownerHandle = owner.handle();
  if (!loaded()) return;
  state_ = State::Shown;
  unsigned generation = generation_;
  host_.modalStack.push_back(this);
  struct Pop {
    std::vector<Form*>& stack;
    Form* form;
    ~Pop() { stack.erase(std::remove(stack.begin(), stack.end(), form), stack.end()); }
  } pop{host_.modalStack, this};
  desktop().runModal(handle_, ownerHandle,
                     [this, generation] { return state_ == State::Shown && generation_ == generation; });
}

void Form::hide() {
  loadOnRead();
  if (!loaded() || state_ == State::Hidden) return;
  state_ = State::Hidden;
  stopBeingActive();
  desktop().hide(handle_);
}

void Form::stopBeingActive() {
  if (host_.active == this) host_.active = nullptr;
}

void Form::activated() {
  if (hiddenKind_ || host_.active == this) return;
  host_.active = this;
  onActivate();
}

Rect Form::bounds() {
  return desktop().bounds(handle());
}

void Form::moveTo(int left, int top) {
  desktop().moveTo(handle(), left, top);
}

void Form::helpKey() {
  if (loaded() && helpTopic_ != 0 && host_.helpKey) host_.helpKey(*this, helpTopic_);
}

Form::ControlState& Form::control(int id) {
  loadOnRead();
  auto it = controls_.find(id);
  if (it == controls_.end()) throw Failure("window has no control " + std::to_string(id));
  return it->second;
}

void Form::setText(int id, const std::string& text) {
  ControlState& c = control(id);
  if (c.text == text) return;  // an unchanged text is not repainted
  c.text = text;
  desktop().setText(handle_, id, text);
}

void Form::setVisible(int id, bool visible) {
  ControlState& c = control(id);
  if (c.visible == visible) return;
  c.visible = visible;
  desktop().setVisible(handle_, id, visible);
}

void Form::setCheckedState(int id, bool checked) {
  ControlState& c = control(id);
  if (c.checked == checked) return;
  c.checked = checked;
  desktop().setChecked(handle_, id, checked);
}

bool Form::checked(int id) {
  return control(id).checked;
}

}  // namespace kv
