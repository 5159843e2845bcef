#pragma once
// The drive window: six lines of free space in a small black window that stays on top, is
// dragged with any mouse button and closes with a plain left click; other clicks open its menu.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "forms/form.h"
#include "program/program.h"

namespace kv {

class DriveWindow : public Form {
 public:
  static constexpr unsigned kRefreshMilliseconds = 2000;
  // Control ids: 100 + the line's number, so Label4 is 104.
  static constexpr std::array<int, kSlots> kSlotLine = {104, 103, 105, 106, 107, 108};
  // A line is this wide at least, and wider when its figure needs it: today's drives have
  // figures the narrowest line cuts. The window widens with its lines.
  static constexpr int kLineWidth = 1740;
  // Where the window goes, from the primary monitor's top left, when its place would put its
  // right edge beyond the desktop's, or put it on no monitor at all.
  static constexpr Point kPlaceInView{50, 50};
  enum MenuCommand { Hide = 520, Options, About, Help, Quit };

  DriveWindow(FormHost& host, Program& program);

  void loadAt(Point place);  // loads the window, hidden, at this place, or into view from it

  void refall(const DriveSlots& lines);  // every line anew: a used slot's figure, or nothing
  void endsml();                         // its own close: the program saves, then unloads it
  void gdown(int x, int y);              // a press: remembers where the drag starts
  void gmove(int x, int y);              // a move with a button held: the window follows the pointer
  void smlmenu(int button);              // a release: a left click that moved nothing closes, others open the menu

  void mouseDown(MouseButton, int x, int y) override { gdown(x, y); }
  void mouseMove(int x, int y) override { gmove(x, y); }
  void mouseUp(MouseButton button, int, int) override { smlmenu(static_cast<int>(button)); }
  void timer() override { program_.refresh(); }
  void rescaled() override;
  void desktopChanged() override;
  // No close box; the system's close command (Alt+F4) closes it as a click does.
  void closeRequested() override { endsml(); }

 protected:
  WindowLayout describe() const override;
  void onLoad(const LoadTicket&) override;
  void resetState() override;
  void onActivate() override { program_.refresh(); }

 private:
  struct Press {
    bool gflag = false;  // a button is held on the window
    int gx = 0, gy = 0;
    int left = 0, top = 0;  // the window's place at the press
  };
  void popUpMenu();
  void bringIntoView(const std::vector<Rect>& monitors);  // to the primary, where the user finds it
  int measure(int slot, const std::string& text);         // the text's width, measured once per text
  void fitLines(int widest);                              // the lines as wide as the widest text

  Program& program_;
  Menu menu_;
  Press press_;
  Point place_;  // where its next load puts it
  int lineWidth_ = kLineWidth;
  DriveSlots lines_;  // as last handed, for a new DPI
  std::array<std::string, kSlots> measuredText_;
  std::array<int, kSlots> measuredWidth_{};
};

}  // namespace kv
