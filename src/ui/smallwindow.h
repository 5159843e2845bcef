#pragma once
// The drive window: six lines of free space in a small black window that stays on top, is
// dragged with any mouse button and closes with a plain left click.
#include <array>
#include <cstdint>
#include <string>

#include "forms/form.h"

namespace kv {

class App;

class SmallWindow : public Form {
 public:
  static constexpr unsigned kRefreshMilliseconds = 2000;
  // Control ids: 100 + the line's number, so Label4 is 104.
  static constexpr std::array<int, 6> kSlotLine = {104, 103, 105, 106, 107, 108};

  SmallWindow(FormHost& host, App& app) : Form(host), app_(app) {}

  void refall();
  void endsml();
  void gdown(int x, int y);
  void gmove(int x, int y);
  void smlmenu(int button);

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
  App& app_;
  Press press_;
};

}  // namespace kv
