#pragma once
// The model test's user: what can be done at a moment, where the next action comes from (a
// recorded sequence, or a seeded random choice weighted by what can be done), and how a
// sequence starts.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/settings.h"
#include "model/action.h"
#include "model/rng.h"

namespace kv::model {

inline const std::string kFolder = "C:\\Programs\\Kestrovan";
inline const std::string kConfig = kFolder + "\\kv99.cfg";
inline const std::string kDenied = "Access is denied.";
inline const std::string kSaveFailedText = "Kestrovan '99 could not save its settings to";
constexpr int kFrame = 45;  // the fake's frame, twips each side
constexpr int kClientWidth = 4605;
constexpr int kClientHeight = 1095;
constexpr int kOuterWidth = kClientWidth + 2 * kFrame;
constexpr int kScreenWidth = 1024 * 15;

inline std::string escaped(const std::string& s) {
  std::string out = "\"";
  for (char ch : s) {
    if (ch == '\r')
      out += "\\r";
    else if (ch == '\n')
      out += "\\n";
    else
      out += ch;
  }
  return out + "\"";
}

// How a sequence starts: the settings file, the folder, the command line.
struct StartSpec {
  std::optional<std::string> file;  // kv99.cfg before the first start; none: a first run
  bool savesFail = false;
  bool hidden = false;  // started with the m switch
};

inline std::string describe(const StartSpec& s) {
  std::string out = s.file ? "kv99.cfg holds " + escaped(*s.file) : std::string("first run (no kv99.cfg)");
  if (s.savesFail) out += "; the folder takes no writes";
  out += s.hidden ? "; started with /min" : "; started without arguments";
  return out;
}

// What the user can do at this moment.
struct Context {
  bool running = false;
  bool tray = false;   // the icon is there and the tray window hears it
  bool drive = false;  // the drive window is shown and takes the mouse
  bool held = false;   // a button is held on it
  int heldButton = 1;
  bool timer = false;    // its timer runs
  bool options = false;  // the drive selection window is shown and takes input
  bool picker = false;   // its drive list and "Accept Drive" are shown
  bool about = false;
  bool savesFail = false;
  std::vector<int> usable;  // windows that can be activated and take F1
  std::string modal;        // the modal window being answered; empty at the top
  int inner = 0;            // actions taken inside it so far
};

class Source {
 public:
  virtual ~Source() = default;
  virtual bool next(const Context&, Action&) = 0;
};

class Replay : public Source {
 public:
  explicit Replay(const std::vector<Action>& actions) : actions_(actions) {}
  bool next(const Context&, Action& out) override {
    if (at_ >= actions_.size()) return false;
    out = actions_[at_++];
    return true;
  }

 private:
  const std::vector<Action>& actions_;
  std::size_t at_ = 0;
};

// ---- the user: actions drawn at random, weighted by what can be done at the moment

class Generator : public Source {
 public:
  Generator(Rng& rng, std::size_t budget, std::vector<Action>& record) : rng_(rng), budget_(budget), record_(record) {}

  bool next(const Context& c, Action& out) override {
    if (c.modal.empty()) {
      if (record_.size() >= budget_) return false;
      out = top(c);
    } else {
      if (c.inner >= 40 || record_.size() >= 2 * budget_) return false;  // the fake closes it
      out = inModal(c);
    }
    record_.push_back(out);
    return true;
  }

 private:
  struct Choice {
    int weight;
    std::function<Action()> make;
  };
  Action pick(const std::vector<Choice>& choices) {
    int total = 0;
    for (const auto& ch : choices) total += ch.weight;
    int r = rng_.below(total);
    for (const auto& ch : choices) {
      if (r < ch.weight) return ch.make();
      r -= ch.weight;
    }
    return choices.back().make();
  }
  int weighted(std::initializer_list<std::pair<int, int>> values) {  // (value, weight)
    int total = 0;
    for (const auto& v : values) total += v.second;
    int r = rng_.below(total);
    for (const auto& v : values) {
      if (r < v.second) return v.first;
      r -= v.second;
    }
    return values.begin()->first;
  }
  int button() { return weighted({{1, 50}, {2, 35}, {4, 15}}); }

  Action trayAction() {
    static const int others[] = {0x202, 0x203, 0x205, 0x206, 0x207, 0x208, 0x209};
    int m = weighted({{0x200, 30}, {0x201, 15}, {0x204, 28}, {0, 27}});
    if (m == 0) m = others[rng_.below(7)];
    int choice = 0;
    if (m == 0x204)
      choice = weighted({{0, 8},
                         {TrayWindow::m1 + rng_.below(6), 5},
                         {TrayWindow::showmenu, 15},
                         {TrayWindow::optionmenu, 30},
                         {TrayWindow::aboutmenu, 20},
                         {TrayWindow::helpmen1, 8},
                         {TrayWindow::quitmenu, 6}});
    return Action{Kind::Tray, m, choice};
  }
  int popupChoice() {
    return weighted({{0, 8},
                     {TrayWindow::hidemen, 15},
                     {TrayWindow::optmenu, 30},
                     {TrayWindow::aboutmen, 25},
                     {TrayWindow::helpmen2, 8},
                     {TrayWindow::quitmen, 5}});
  }
  int distance() {
    int r = rng_.below(100);
    if (r < 8) return rng_.between(-2, 2);
    if (r < 96) return rng_.between(-1500, 1500);
    int far = rng_.between(30000, 70000);  // beyond what 16 bits hold
    return rng_.percent(50) ? far : -far;
  }
  Action optionsAction(const Context& c) {
    std::vector<Choice> ch = {
        {45,
         [&] {
           return Action{Kind::Box, rng_.between(1, 6)};
         }},
        {7, [&] { return Action{Kind::Okay}; }},
        {3, [&] { return Action{Kind::Cancel}; }},
        {2, [&] { return Action{Kind::CloseBox}; }},
        {3,
         [&] {
           return Action{Kind::OptionsMenu, OptionsWindow::okmen};
         }},
        {2,
         [&] {
           return Action{Kind::OptionsMenu, OptionsWindow::cancmen};
         }},
        {2,
         [&] {
           return Action{Kind::OptionsMenu, OptionsWindow::helmen};
         }},
    };
    if (c.picker) {
      ch.push_back({18, [&] { return Action{Kind::Choose, rng_.below(8)}; }});
      ch.push_back({22, [&] { return Action{Kind::Accept}; }});
    }
    return pick(ch);
  }
  Action aboutRelease() {
    static const int controls[] = {0, AboutWindow::Picture1, AboutWindow::Text1, AboutWindow::Label1};
    int id = rng_.percent(30) ? static_cast<int>(AboutWindow::Label2) : controls[rng_.below(4)];
    return Action{Kind::AboutRelease, id, button()};
  }
  Action world(const Context& c) {
    std::vector<Choice> ch = {
        {4,
         [&] {
           return Action{Kind::DriveAppears, rng_.below(kLetterCount)};
         }},
        {3,
         [&] {
           return Action{Kind::DriveGoes, rng_.below(kLetterCount)};
         }},
        {3,
         [&] {
           return Action{Kind::FreeSpace, rng_.below(kLetterCount), rng_.below(kFreeSpaceAnswers)};
         }},
        {c.savesFail ? 12 : 2, [&] { return Action{c.savesFail ? Kind::SavesWork : Kind::SavesFail}; }},
        {1, [&] { return Action{Kind::ShellRestart}; }},
    };
    return pick(ch);
  }

  Action top(const Context& c) {
    if (!c.running) return Action{Kind::Restart, rng_.percent(20) ? 1 : 0};
    std::vector<Choice> ch;
    if (c.tray) ch.push_back({250, [&] { return trayAction(); }});
    if (c.drive) {
      ch.push_back({c.held ? 60 : 110, [&] {
                      return Action{Kind::Press, button(), rng_.below(kClientWidth), rng_.below(kClientHeight)};
                    }});
      ch.push_back({c.held ? 150 : 40, [&] { return Action{Kind::Move, 0, distance(), distance()}; }});
      ch.push_back({c.held ? 120 : 15, [&] {
                      int b = c.held && rng_.percent(85) ? c.heldButton : button();
                      return Action{Kind::Release, b, b == 1 ? 0 : popupChoice()};
                    }});
    }
    if (c.options) ch.push_back({300, [&] { return optionsAction(c); }});
    if (c.about) {
      ch.push_back({70, [&] { return aboutRelease(); }});
      ch.push_back({12, [&] { return Action{Kind::AboutClose}; }});
    }
    if (!c.usable.empty()) {
      ch.push_back({20, [&] {
                      return Action{Kind::HelpKey,
                                    c.usable[static_cast<std::size_t>(rng_.below(static_cast<int>(c.usable.size())))]};
                    }});
      ch.push_back({50, [&] {
                      return Action{Kind::Activate,
                                    c.usable[static_cast<std::size_t>(rng_.below(static_cast<int>(c.usable.size())))]};
                    }});
    }
    if (c.timer) ch.push_back({60, [&] { return Action{Kind::Timer}; }});
    ch.push_back({45, [&] { return world(c); }});
    ch.push_back({3, [&] { return Action{Kind::SecondCopy}; }});
    return pick(ch);
  }

  Action closing(const Context& c) {
    if (c.modal == "aboutwindow") {
      if (rng_.percent(25)) return Action{Kind::AboutClose};
      static const int controls[] = {0, AboutWindow::Picture1, AboutWindow::Text1, AboutWindow::Label1};
      return Action{Kind::AboutRelease, controls[rng_.below(4)], button()};
    }
    switch (weighted({{0, 40}, {1, 20}, {2, 15}, {3, 15}, {4, 10}})) {
      case 0:
        return Action{Kind::Okay};
      case 1:
        return Action{Kind::Cancel};
      case 2:
        return Action{Kind::CloseBox};
      case 3:
        return Action{Kind::OptionsMenu, OptionsWindow::okmen};
      default:
        return Action{Kind::OptionsMenu, OptionsWindow::cancmen};
    }
  }

  Action inModal(const Context& c) {
    if (c.inner >= 8 || record_.size() >= budget_ || rng_.percent(18)) return closing(c);
    if (rng_.percent(70)) {
      if (c.modal == "aboutwindow")
        return rng_.percent(70) ? Action{Kind::AboutRelease, AboutWindow::Label2, button()}
                                : Action{Kind::HelpKey, kAbout};
      Context inside = c;
      inside.options = true;
      Action a = optionsAction(inside);
      if (a.kind == Kind::Okay || a.kind == Kind::Cancel || a.kind == Kind::CloseBox ||
          (a.kind == Kind::OptionsMenu && a.a != OptionsWindow::helmen))
        a = Action{Kind::Box, rng_.between(1, 6)};
      return rng_.percent(8) ? Action{Kind::HelpKey, kOptions} : a;
    }
    return top(c);
  }

  Rng& rng_;
  std::size_t budget_;
  std::vector<Action>& record_;
};

inline StartSpec randomStart(Rng& rng) {
  StartSpec s;
  s.savesFail = rng.percent(8);
  s.hidden = rng.percent(15);
  if (rng.percent(35)) return s;  // a first run
  static const char* const slots[] = {"c:\\", "d:\\", "z:\\", "q:\\", "e:\\", "d:", "C:\\"};
  std::string file;
  for (int i = 0; i < kSlots; ++i) {
    std::string slot = rng.percent(50) ? "" : slots[rng.below(7)];
    file += "\"" + slot + "\"\r\n";
  }
  int left, top;
  switch (rng.below(10)) {
    case 0:
      left = rng.percent(50) ? 32767 : -32768;
      top = rng.percent(50) ? 32767 : -32768;
      break;
    case 1:
      left = kScreenWidth - kOuterWidth + rng.below(2);
      top = rng.below(11000);
      break;
    case 2:
      left = -rng.below(5000);
      top = -rng.below(5000);
      break;
    default:
      left = rng.below(kScreenWidth - kOuterWidth);
      top = rng.below(11000);
      break;
  }
  s.file = file + std::to_string(left) + "\r\n" + std::to_string(top) + "\r\n";
  return s;
}

}  // namespace kv::model
