#pragma once
// One of the program's windows. The object lives for the whole process; the native window
// comes and goes with it: not loaded, loaded and hidden, or shown. Anything that needs the
// native window loads it first, running the load steps once. Unloading destroys the native
// window and drops the transient state, never the object, so a handler that unloads its own
// window finishes safely.
#include <map>
#include <string>

#include "forms/form_host.h"
#include "platform/window_events.h"
#include "platform/window_layout.h"

namespace kv {

class Form : public WindowEvents {
 public:
  enum class State { NotLoaded, Hidden, Shown };

  explicit Form(FormHost& host) : host_(host) {}
  ~Form() override;
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // Marks one load: a window unloaded while its own load steps run stays unloaded, and the
  // remaining steps see that through this ticket.
  class LoadTicket {
   public:
    LoadTicket(const Form& form, unsigned generation) : form_(form), generation_(generation) {}
    bool valid() const { return form_.loaded() && form_.generation_ == generation_; }

   private:
    const Form& form_;
    unsigned generation_;
  };

  State state() const { return state_; }
  bool loaded() const { return state_ != State::NotLoaded; }
  bool visible() const { return state_ == State::Shown; }

  WindowHandle handle();  // loads the window when it is not loaded
  void load();
  void unload();  // nothing when not loaded
  void show();    // modeless
  void showModal(Form& owner);
  void hide();
  // The load this window is in now; no longer valid once the window unloads.
  LoadTicket currentLoad() const { return LoadTicket(*this, generation_); }

  Rect bounds();
  void moveTo(int left, int top);

  // WindowEvents defaults shared by all windows.
  void helpKey() override;
  void closeRequested() override { unload(); }
  void sessionEnding() override {
    if (host_.sessionEnding) host_.sessionEnding();
  }
  // Runs onActivate when the window becomes the program's active window: not when the user
  // comes back from another program to the same window, nor for the hidden tray window.
  void activated() final;

 protected:
  virtual WindowLayout describe() const = 0;
  virtual void onLoad(const LoadTicket&) {}
  // Unloaded, the native window gone: what its owner does now (going back on top) is not
  // dragged along by a window it still owns.
  virtual void onUnloaded() {}
  virtual void resetState() {}  // the transient state, dropped at unload
  virtual void onActivate() {}

  // Controls: the text, visibility and check state the program last gave them.
  void setText(int id, const std::string& text);
  void setVisible(int id, bool visible);
  void setCheckedState(int id, bool checked);  // no handlers: callers decide what it means
  bool checked(int id);

  FormHost& host() { return host_; }
  Desktop& desktop() { return host_.desktop; }

 private:
  struct ControlState {
    std::string text;
    bool visible = true;
    bool checked = false;
  };
  ControlState& control(int id);
  void loadOnRead();  // the model's load of a window read before it was loaded
  bool modalIsUp() const;
  void bringModalToFront();
  void stopBeingActive();

  FormHost& host_;
  State state_ = State::NotLoaded;
  WindowHandle handle_ = 0;
  unsigned generation_ = 0;
  bool unloading_ = false;
  bool hiddenKind_ = false;  // never on the screen (the tray window)
  int helpTopic_ = 0;
  std::map<int, ControlState> controls_;
};

}  // namespace kv
