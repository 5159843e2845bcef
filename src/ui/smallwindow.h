#pragma once
// The drive window: six lines of free space in a small black window that stays on top, is
// dragged with any mouse button and closes with a plain left click.
#include <array>
#include <cstdint>
#include <string>

#include "app/program.h"
#include "forms/form.h"

namespace kv {

class SmallWindow : public Form {
 public:
  static constexpr unsigned kRefreshMilliseconds = 2000;
  // Control ids: 100 + the line's number, so Label4 is 104.
  static constexpr std::array<int, 6> kSlotLine = {104, 103, 105, 106, 107, 108};

  SmallWindow(FormHost& host, Program& program) : Form(host), program_(program) {}

  void refall();             // every line anew from its slot
  void endsml();             // its own close: saves the settings, then unloads
  void gdown(int x, int y);  // a press: remembers where the drag starts
  void gmove(int x, int y);  // a move with a button held: the window follows the pointer
  void smlmenu(int button);  // a release: a left click that moved nothing closes, others open the menu

  // The press state, for whoever needs to look at it.
  struct Press {
    bool gflag = false;
    std::int16_t gx = 0, gy = 0, gleft = 0, gtop = 0;
    // The window's place at the press as it really was; a window beyond what 16 bits hold
    // (a very wide desktop) is still told apart from one that was dragged.
    int left = 0, top = 0;
  };
  const Press& press() const { return press_; }

  void mouseDown(MouseButton, int x, int y) override { gdown(x, y); }
  void mouseMove(int x, int y) override { gmove(x, y); }
  void mouseUp(MouseButton button, int, int) override { smlmenu(static_cast<int>(button)); }
  void timer() override { refall(); }
  // No close box; the system's close command (Alt+F4) closes it as a click does.
  void closeRequested() override { endsml(); }

 protected:
  WindowLayout describe() const override;
  void onLoad(const LoadTicket&) override;
  void resetState() override { press_ = Press{}; }
  void onActivate() override { refall(); }

 private:
  Program& program_;
  Press press_;
};

}  // namespace kv
