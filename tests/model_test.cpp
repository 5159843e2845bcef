// Model-based random testing on the fake platform: long seeded runs of a user's actions (and of
// the world around the program: drives, the shell, a folder that stops taking writes), with the
// program's promises checked after every action against a small model kept here:
//   - at most one tray icon, and one whenever the program runs;
//   - every saved file reads back to the drives last committed ("Okay", or the first-run file)
//     and the position the program must write (the live one while the drive window is set up,
//     otherwise the last one read or saved), within 16 bits;
//   - no failure nobody handles: no message box but the save-failure message (one per failed
//     save), the process ends only through "Quit";
//   - the drive window is topmost whenever it is shown and neither the drive selection window
//     nor the about window is;
//   - the press state holds the press within 16 bits, a drag follows the pointer, a plain left
//     click closes the window;
//   - the drive selection window shows what its working copy holds.
// A failure prints the seed and the shortest sequence of actions that still shows it.
//
// KV_MODEL_SEED     run seed (decimal or 0x...; "random" for a fresh one); printed on every run
// KV_MODEL_SEQUENCES, KV_MODEL_LENGTH   how many sequences of how many actions (200 x 500)
// KV_MODEL_ONLY     run just that sequence of the run
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <random>
#include <sstream>

#include "app/app.h"
#include "app/config_file.h"
#include "fake/fake_platform.h"
#include "model/action.h"
#include "model/observed_files.h"
#include "model/rng.h"
#include "model/shrink.h"
#include "model/user.h"

namespace kv::model {
namespace {

using Slots = std::array<std::string, kSlots>;

// A broken promise: kind names the promise (a shortened run must break the same one).
struct Violation {
  std::string kind;
  std::string detail;
};

[[noreturn]] void fail(const std::string& kind, const std::string& detail) {
  throw Violation{kind, detail};
}

std::string slotsText(const Slots& s) {
  std::string out = "[";
  for (int i = 0; i < kSlots; ++i) out += (i ? " " : "") + (s[i].empty() ? std::string("-") : s[i]);
  return out + "]";
}

// A slot as the free-space query leaves it: up to the first colon, then a backslash.
std::string rootForm(const std::string& slot) {
  if (slot.empty()) return slot;
  std::size_t colon = slot.find(':');
  return (colon == std::string::npos ? std::string() : slot.substr(0, colon + 1)) + "\\";
}

std::string driveEntry(char letter) {
  switch (letter) {
    case 'c':
      return "c: [system]";
    case 'd':
      return "d: [data]";
    case 'q':
      return "q: [removable]";
    default:
      return std::string(1, letter) + ":";
  }
}

DiskCounters freeSpaceAnswer(int which, bool& ok) {
  ok = true;
  switch (which) {
    case 0:
      return DiskCounters{8, 512, 475200, 0};
    case 1:
      return DiskCounters{8, 512, 0, 0};
    case 2:
      return DiskCounters{0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};
    case 3:
      return DiskCounters{64, 512, 0x80000000u, 0xFFFFFFFFu};
    default:
      ok = false;
      return DiskCounters{};
  }
}

// What a run went through, to show that the interesting states are reached.
struct Stats {
  std::map<Kind, long> applied;
  long modals = 0, commits = 0, saves = 0, failedSaves = 0, clampedSaves = 0, quits = 0, firstRuns = 0;
  long skipped = 0;

  std::string text() const {
    static const std::pair<Kind, const char*> names[] = {{Kind::Tray, "tray"},
                                                         {Kind::Press, "press"},
                                                         {Kind::Move, "move"},
                                                         {Kind::Release, "release"},
                                                         {Kind::Box, "box"},
                                                         {Kind::Choose, "choose"},
                                                         {Kind::Accept, "accept"},
                                                         {Kind::Okay, "okay"},
                                                         {Kind::Cancel, "cancel"},
                                                         {Kind::CloseBox, "closebox"},
                                                         {Kind::OptionsMenu, "optmenu"},
                                                         {Kind::AboutRelease, "about"},
                                                         {Kind::AboutClose, "aboutclose"},
                                                         {Kind::HelpKey, "F1"},
                                                         {Kind::Activate, "activate"},
                                                         {Kind::Timer, "timer"},
                                                         {Kind::ShellRestart, "shell"},
                                                         {Kind::SavesFail, "savesfail"},
                                                         {Kind::SavesWork, "saveswork"},
                                                         {Kind::DriveAppears, "drive+"},
                                                         {Kind::DriveGoes, "drive-"},
                                                         {Kind::FreeSpace, "free"},
                                                         {Kind::SecondCopy, "second"},
                                                         {Kind::Restart, "restart"}};
    std::ostringstream out;
    for (const auto& [kind, name] : names) {
      auto it = applied.find(kind);
      out << name << " " << (it == applied.end() ? 0 : it->second) << ", ";
    }
    out << "no effect " << skipped << "; modal windows " << modals << ", first runs " << firstRuns << ", commits "
        << commits << ", saves " << saves << " (" << clampedSaves << " of a window beyond 16 bits), failed saves "
        << failedSaves << ", quits " << quits;
    return out.str();
  }
};

// One run of the program through a sequence of actions, from a fresh start, with the checks.
class ModelRun {
 public:
  ModelRun(const StartSpec& start, Source& source, std::vector<std::string>* trace, Stats* stats = nullptr)
      : start_(start), source_(source), trace_(trace), stats_(stats ? *stats : ownStats_) {
    observed_.onRead = [this](const std::string&, const std::optional<std::string>& bytes) { wasRead(bytes); };
    observed_.onWrite = [this](const std::string& path, const std::string& bytes, const std::string& reason) {
      wasWritten(path, bytes, reason);
    };
  }

  std::optional<Violation> execute() {
    try {
      environment();
      startProgram(start_.hidden);
      Action a;
      while (source_.next(context(), a)) step(a);
    } catch (const Violation& v) {
      if (!pendingLine_.empty()) addNote("");  // the program was going on after a modal window
      std::size_t at = noteLine_ != static_cast<std::size_t>(-1) ? noteLine_ : lastLine_;
      if (trace_ && at < trace_->size()) (*trace_)[at] += "   <== broken here";
      return v;
    }
    return std::nullopt;
  }

  // Actions taken from the source, inside modal windows included.
  std::size_t taken() const { return taken_; }

 private:
  struct Process {
    std::unique_ptr<fake::FakePlatform> fake;
    std::unique_ptr<Platform> platform;
    std::unique_ptr<App> app;
  };

  fake::FakePlatform& fake() { return *processes_.back().fake; }
  App& app() { return *processes_.back().app; }
  fake::FakeWindow* window(const std::string& name) { return fake().desktop.find(name); }
  fake::FakeWindow* window(int index) { return window(kWindowNames[index]); }
  bool takesInput(int index) {
    fake::FakeWindow* w = window(index);
    return w && w->visible && w->enabled;
  }
  WindowEvents& sink(const std::string& name) { return fake().desktop.sink(name); }

  // ---- start-up and the world

  void environment() {
    files_.entries.clear();
    if (start_.file) {
      files_.entries[kConfig] = fake::FakeFiles::Entry{*start_.file};
      ConfigRead r = parseConfig(*start_.file);
      if (!r.complete()) fail("model", "the start file must be complete");
      fileDrives_ = r.drives;
    }
    files_.writeFailure = start_.savesFail ? kDenied : "";
    disks_.drives = {driveEntry('c'), driveEntry('d'), driveEntry('z')};
    for (char letter : {'c', 'd', 'z'}) {
      bool ok = true;
      disks_.answers[std::string(1, letter) + ":\\"] = {freeSpaceAnswer(0, ok), ok};
    }
  }

  void startProgram(bool hidden) {
    Process p;
    p.fake = std::make_unique<fake::FakePlatform>();
    p.platform = std::make_unique<Platform>(
        Platform{p.fake->desktop, p.fake->shell, disks_, p.fake->help, p.fake->process, observed_});
    p.app = std::make_unique<App>(*p.platform);
    p.fake->process.arguments = hidden ? "/min" : "";
    p.fake->desktop.screenWidthTwips = kScreenWidth;
    processes_.push_back(std::move(p));  // earlier processes stay, so that nothing dangles

    running_ = true;
    mainDone_ = false;
    quitExpected_ = false;
    committed_ = Slots{};
    if (fileDrives_)
      for (int i = 0; i < kSlots; ++i) committed_[i] = rootForm((*fileDrives_)[i]);
    recordLeft_ = recordTop_ = 0;
    icons_ = 0;
    seenCommands_ = seenMessages_ = seenLog_ = 0;
    seenActivations_ = 0;
    failedWrites_ = 0;
    held_ = false;
    pressLeft_ = pressTop_ = 0;
    pointerX_ = pointerY_ = -1000000;
    resetOptions();
    fake().desktop.onModal.push_back([this](WindowHandle h) { answerModal(h); });

    if (!files_.entries.count(kConfig)) ++stats_.firstRuns;
    std::size_t outerLine = noteLine_;
    noteLine_ = trace("(start-up)");
    fake().enter([this] { app().main(); });
    mainDone_ = true;
    check();
    noteLine_ = outerLine;
    pendingLine_.clear();
  }

  // ---- the model's view of the program's files

  void wasRead(const std::optional<std::string>& bytes) {
    if (secondCopy_) fail("second copy", "the second copy read the settings file");
    if (!bytes) return;
    ConfigRead r = parseConfig(*bytes);
    if (r.left) recordLeft_ = *r.left;
    if (r.top) recordTop_ = *r.top;
    addNote("   (reads kv99.cfg: " + slotsText(r.drives) + ")");
  }

  void wasWritten(const std::string& path, const std::string& bytes, const std::string& reason) {
    if (secondCopy_) fail("second copy", "the second copy wrote " + path);
    if (path != kConfig) fail("saved file", "a file other than kv99.cfg was written: " + path);
    // While the drive window is set up (loaded, its timer running) the live position is
    // saved, and the record takes it; otherwise the record's position is.
    int left = recordLeft_, top = recordTop_;
    fake::FakeWindow* w = window(kDrive);
    if (w && w->timerRunning) {
      left = clamp16(w->bounds.left);
      top = clamp16(w->bounds.top);
    }
    recordLeft_ = left;
    recordTop_ = top;
    if (!reason.empty()) {
      ++failedWrites_;
      ++stats_.failedSaves;
      addNote("   (save fails, message shown)");
      return;
    }
    ++stats_.saves;
    if (w && w->timerRunning && (left != w->bounds.left || top != w->bounds.top)) ++stats_.clampedSaves;
    ConfigRead r = parseConfig(bytes);
    addNote("   (saves " + slotsText(r.drives) + " at " + (r.left ? std::to_string(*r.left) : "?") + ", " +
            (r.top ? std::to_string(*r.top) : "?") + ")");
    if (!r.complete()) fail("saved file", "the saved file does not read back: " + escaped(bytes));
    if (r.drives != committed_)
      fail("saved file", "the saved file holds the drives " + slotsText(r.drives) +
                             ", but the drives last committed are " + slotsText(committed_));
    if (*r.left != left || *r.top != top)
      fail("saved position",
           "the saved position is " + std::to_string(*r.left) + ", " + std::to_string(*r.top) + ", expected " +
               std::to_string(left) + ", " + std::to_string(top) +
               (w && w->timerRunning ? " (the drive window's, within 16 bits)" : " (the position last read or saved)"));
    fileDrives_ = r.drives;
  }

  // ---- the model of the drive selection window's working copy

  void resetOptions() {
    working_ = committed_;
    for (int i = 0; i < kSlots; ++i) checked_[i] = !committed_[i].empty();
    pick_ = -1;
  }
  void syncActivations() {
    int n = fake().desktop.activations["optionswindow"];
    if (n != seenActivations_) resetOptions();  // each activation fills the window anew
    seenActivations_ = n;
  }
  // Box n (0-based) clicked: checking one starts a pick and drops a pending one; unchecking
  // empties the slot and drops a pending pick.
  void clickBox(int n) {
    if (pick_ >= 0 && pick_ != n) {
      checked_[pick_] = false;
      working_[pick_].clear();
    }
    if (!checked_[n]) {
      checked_[n] = true;
      pick_ = n;
    } else {
      checked_[n] = false;
      working_[n].clear();
      pick_ = -1;
    }
  }

  // ---- acting

  std::size_t trace(const std::string& text, int depth = -1) {
    if (!trace_) return 0;
    trace_->push_back(std::string(2 * static_cast<std::size_t>(depth < 0 ? depth_ : depth), ' ') + text);
    return trace_->size() - 1;
  }
  void note(std::size_t line, const std::string& text) {
    if (trace_) (*trace_)[line] += text;
  }
  // What the program did, on the line of the action (or of its part) it did it in.
  void addNote(const std::string& text) {
    if (!trace_) return;
    if (!pendingLine_.empty()) {
      noteLine_ = trace(pendingLine_, pendingDepth_);
      pendingLine_.clear();
    }
    if (noteLine_ < trace_->size()) (*trace_)[noteLine_] += text;
  }

  void step(const Action& a) {
    ++taken_;
    std::size_t line = trace(describe(a));
    lastLine_ = line;
    std::size_t outerLine = noteLine_;  // the action that opened a modal window, if any
    noteLine_ = line;
    pendingLine_.clear();
    bool outerActivating = activating_;
    activating_ = a.kind != Kind::Activate;
    bool applied = apply(a);
    activating_ = outerActivating;
    if (!applied) note(line, "   (nothing to act on)");
    if (applied)
      ++stats_.applied[a.kind];
    else
      ++stats_.skipped;
    check();
    noteLine_ = outerLine;
    pendingLine_.clear();
    // A process that ended inside a modal window ends there: nothing further up runs.
    if (depth_ > 0 && fake().ended()) throw fake::ProcessEnded{*fake().process.endedWith};
  }

  void activate(int index) {
    WindowHandle h = fake().desktop.handleOf(kWindowNames[index]);
    if (fake().desktop.active() == h) return;
    fake().enter([&] { fake().desktop.activate(h); });
    syncActivations();
    if (activating_) addNote("   (activates it first)");
  }

  // The menu the next popup shows gets this choice, when the entry is there to be chosen.
  void offerMenu(int choice) {
    chosen_ = -1;
    asked_ = choice;
    fake().desktop.onMenu.clear();
    fake().desktop.onMenu.push_back([this, choice](const Menu& menu) {
      if (menu.name == "tsmenu") checkDriveEntries(menu);
      chosen_ = 0;
      for (const auto& e : menu.entries)
        if (e.id == choice && e.visible && !e.separator()) chosen_ = choice;
      if (chosen_ == TrayWindow::quitmenu || chosen_ == TrayWindow::quitmen) quitExpected_ = true;
      return chosen_;
    });
  }
  // The tray menu, just refreshed, has an entry for each used slot and none for an empty one.
  void checkDriveEntries(const Menu& menu) {
    for (int k = 0; k < kSlots; ++k) {
      const MenuEntry& e = menu.entries[static_cast<std::size_t>(k)];
      if (e.id != TrayWindow::m1 + k || e.visible != !committed_[k].empty())
        fail("tray menu", "drive entry m" + std::to_string(k + 1) + (e.visible ? " is shown" : " is hidden") +
                              " while slot " + std::to_string(k + 1) + " holds " + escaped(committed_[k]));
    }
  }

  void menuDone(const char* which) {
    fake().desktop.onMenu.clear();
    if (chosen_ < 0 && !fake().ended()) fail("menu", std::string("the ") + which + " did not open");
    if (chosen_ == 0 && asked_ != 0) addNote("   (the entry is not in the menu: dismissed)");
  }

  bool applyTray(const Action& a) {
    fake::FakeWindow* tbarw = window("tbarw");
    if (!tbarw || icons_ == 0) return false;
    unsigned message = static_cast<unsigned>(a.a);
    if (message == 0x204) offerMenu(a.b);
    fake().enter([&] { sink("tbarw").trayMessage(message); });
    if (message == 0x204) menuDone("tray menu");
    if (fake().ended() || fake().desktop.modalDepth > 0) return true;
    if (message == 0x201 || (message == 0x204 && chosen_ == TrayWindow::showmenu)) {
      fake::FakeWindow* w = window(kDrive);
      if (!w || !w->visible) fail("drive window", "the drive window was asked for and is not shown");
    }
    return true;
  }

  Point relativePointer() {
    Rect b = window(kDrive)->bounds;
    return Point{pointerX_ - b.left - kFrame, pointerY_ - b.top - kFrame};
  }
  bool pointerOver() {
    Point r = relativePointer();
    return r.x >= 0 && r.x < kClientWidth && r.y >= 0 && r.y < kClientHeight;
  }

  bool applyPress(const Action& a) {
    if (!takesInput(kDrive)) return false;
    activate(kDrive);
    if (!takesInput(kDrive)) return true;
    Rect b = window(kDrive)->bounds;
    pointerX_ = b.left + kFrame + a.b;
    pointerY_ = b.top + kFrame + a.c;
    held_ = true;
    heldButton_ = a.a;
    pressX_ = a.b;
    pressY_ = a.c;
    pressLeft_ = b.left;
    pressTop_ = b.top;
    fake().enter([&] { sink("smallwindow").mouseDown(static_cast<MouseButton>(a.a), a.b, a.c); });
    if (fake().ended() || !app().smallwindow.loaded()) return true;
    const SmallWindow::Press& p = app().smallwindow.press();
    if (!p.gflag || p.gx != clamp16(a.b) || p.gy != clamp16(a.c) || p.gleft != clamp16(b.left) ||
        p.gtop != clamp16(b.top))
      fail("press state", "after a press at (" + std::to_string(a.b) + ", " + std::to_string(a.c) +
                              ") on the window at (" + std::to_string(b.left) + ", " + std::to_string(b.top) +
                              ") the press state is gflag " + std::to_string(p.gflag) + ", gx " + std::to_string(p.gx) +
                              ", gy " + std::to_string(p.gy) + ", gleft " + std::to_string(p.gleft) + ", gtop " +
                              std::to_string(p.gtop));
    return true;
  }

  bool applyMove(const Action& a) {
    if (!takesInput(kDrive)) return false;
    pointerX_ += a.b;
    pointerY_ += a.c;
    if (!held_ && !pointerOver()) return false;
    Rect before = window(kDrive)->bounds;
    Point r = relativePointer();
    fake().enter([&] { sink("smallwindow").mouseMove(r.x, r.y); });
    if (fake().ended() || !window(kDrive)) return true;
    Rect after = window(kDrive)->bounds;
    int wantLeft = held_ ? pointerX_ - kFrame - pressX_ : before.left;
    int wantTop = held_ ? pointerY_ - kFrame - pressY_ : before.top;
    if (after.left != wantLeft || after.top != wantTop)
      fail("drag",
           std::string(held_ ? "the window does not follow the pointer" : "the window moved with no button held") +
               ": it is at (" + std::to_string(after.left) + ", " + std::to_string(after.top) + "), expected (" +
               std::to_string(wantLeft) + ", " + std::to_string(wantTop) + ")");
    return true;
  }

  bool applyRelease(const Action& a) {
    if (!takesInput(kDrive)) return false;
    if (!held_ && !pointerOver()) return false;
    Point r = relativePointer();
    Rect b = window(kDrive)->bounds;
    bool closes = a.a == 1 && b.left == pressLeft_ && b.top == pressTop_;
    held_ = false;
    if (a.a != 1) offerMenu(a.b);
    fake().enter([&] { sink("smallwindow").mouseUp(static_cast<MouseButton>(a.a), r.x, r.y); });
    if (a.a != 1) menuDone("drive window's popup menu");
    if (fake().ended()) return true;
    if (a.a == 1) {
      if (closes && window(kDrive)) fail("click", "a left click on the drive window where it was pressed left it open");
      if (!closes && !window(kDrive)) fail("click", "a left release after a drag closed the drive window");
      if (closes) addNote("   (closes the window)");
    }
    if (app().smallwindow.loaded() && app().smallwindow.press().gflag)
      fail("press state", "the press is still recorded after the release");
    return true;
  }

  bool optionsShown() { return takesInput(kOptions); }
  fake::FakeControl& optionsControl(int id) { return window(kOptions)->controls.at(id); }

  void expectOptionsClosed(const char* how) {
    if (!fake().ended() && window(kOptions))
      fail("options", std::string(how) + " left the drive selection window open");
  }

  bool applyOptions(const Action& a) {
    if (!optionsShown()) return false;
    if ((a.kind == Kind::Choose || a.kind == Kind::Accept) && !optionsControl(OptionsWindow::Drive1).visible)
      return false;
    activate(kOptions);  // the click that reaches the window makes it the active one first
    if (!optionsShown()) return true;
    WindowEvents& w = sink("optionswindow");
    listQueries_ = fake().disks.driveListQueries;
    switch (a.kind) {
      case Kind::Box: {
        int n = a.a - 1;
        clickBox(n);
        fake().enter([&] { w.controlClicked(OptionsWindow::Check1 + n); });
        if (!fake().ended() && pick_ == n && optionsShown() && fake().disks.driveListQueries != listQueries_)
          fail("options", "a check asked every drive again");
        break;
      }
      case Kind::Choose: {
        fake::FakeControl& list = optionsControl(OptionsWindow::Drive1);
        if (list.items.empty()) return false;
        int index = a.a % static_cast<int>(list.items.size());
        fake().enter([&] { fake().desktop.selectItem("optionswindow", OptionsWindow::Drive1, index); });
        addNote("   (" + list.items[static_cast<std::size_t>(index)] + ")");
        break;
      }
      case Kind::Accept: {
        std::string current =
            fake().desktop.currentItem(fake().desktop.handleOf("optionswindow"), OptionsWindow::Drive1);
        std::size_t colon = current.find(':');
        std::string root = (colon == std::string::npos ? std::string() : current.substr(0, colon + 1)) + "\\";
        if (pick_ >= 0) working_[pick_] = root;
        pick_ = -1;
        fake().enter([&] { w.controlClicked(OptionsWindow::Command3); });
        break;
      }
      case Kind::Okay:
        committed_ = working_;
        ++stats_.commits;
        addNote("   (commits " + slotsText(committed_) + ")");
        fake().enter([&] { w.controlClicked(OptionsWindow::Command1); });
        expectOptionsClosed("\"Okay\"");
        break;
      case Kind::Cancel:
        fake().enter([&] { w.controlClicked(OptionsWindow::Command2); });
        expectOptionsClosed("\"Cancel\"");
        break;
      case Kind::CloseBox:
        fake().enter([&] { w.closeRequested(); });
        expectOptionsClosed("the close box");
        break;
      case Kind::OptionsMenu: {
        std::size_t help = fake().help.requests.size();
        if (a.a == OptionsWindow::okmen) {
          committed_ = working_;
          ++stats_.commits;
          addNote("   (commits " + slotsText(committed_) + ")");
        }
        fake().enter([&] { w.menuChosen(a.a); });
        if (a.a == OptionsWindow::helmen) expectHelp(help, 200);
        if (a.a != OptionsWindow::helmen) expectOptionsClosed("its menu");
        break;
      }
      default:
        break;
    }
    return true;
  }

  bool applyAbout(const Action& a) {
    if (!takesInput(kAbout)) return false;
    activate(kAbout);
    if (!takesInput(kAbout)) return true;
    std::size_t started = fake().shell.started.size();
    if (a.kind == Kind::AboutClose)
      fake().enter([&] { sink("aboutwindow").closeRequested(); });
    else
      fake().enter([&] { sink("aboutwindow").released(a.a, static_cast<MouseButton>(a.b)); });
    if (fake().ended()) return true;
    bool stays = a.kind == Kind::AboutRelease && a.a == AboutWindow::Label2;
    if (stays && !window(kAbout)) fail("about", "a click on the web address closed the about window");
    if (stays && fake().shell.started.size() != started + 1) fail("about", "the web address did not open the page");
    if (!stays && window(kAbout)) fail("about", "the about window stayed open");
    for (const auto& [path, entry] : files_.entries)
      if (path != kConfig) fail("about", "a temporary file is left behind: " + path);
    return true;
  }

  void expectHelp(std::size_t before, unsigned long topic) {
    if (fake().ended()) return;
    const auto& r = fake().help.requests;
    if (r.size() != before + 1 || r.back().topic != topic)
      fail("help",
           "expected one help request for topic " + std::to_string(topic) +
               (r.size() > before ? ", got topic " + std::to_string(r.back().topic) : std::string(", got none")));
  }

  bool applyHelpKey(const Action& a) {
    if (!takesInput(a.a)) return false;
    activate(a.a);
    if (!takesInput(a.a)) return true;
    std::size_t before = fake().help.requests.size();
    fake().enter([&] { sink(kWindowNames[a.a]).helpKey(); });
    static const unsigned long topics[] = {100, 200, 300};
    expectHelp(before, topics[a.a]);
    return true;
  }

  void setDrive(char letter, bool present) {
    std::string entry = driveEntry(letter);
    auto& list = disks_.drives;
    list.erase(std::remove(list.begin(), list.end(), entry), list.end());
    std::string root = std::string(1, letter) + ":\\";
    if (present) {
      auto at = std::find_if(list.begin(), list.end(), [&](const std::string& e) { return e > entry; });
      list.insert(at, entry);
      bool ok = true;
      disks_.answers[root] = {freeSpaceAnswer(0, ok), ok};
    } else {
      disks_.answers.erase(root);
    }
  }
  bool listed(char letter) {
    return std::find(disks_.drives.begin(), disks_.drives.end(), driveEntry(letter)) != disks_.drives.end();
  }

  void secondCopy() {
    fake::FakePlatform other;
    other.process.anotherRunning = true;
    Platform platform{other.desktop, other.shell, disks_, other.help, other.process, observed_};
    App second(platform);
    int calls = observed_.calls;
    secondCopy_ = true;
    other.enter([&] { second.main(); });
    secondCopy_ = false;
    if (!other.ended() || *other.process.endedWith != 0 || other.desktop.windowCount() != 0 ||
        !other.shell.commands.empty() || observed_.calls != calls || !other.desktop.messages.empty())
      fail("second copy", "a second copy did not end at once without touching anything");
  }

  bool apply(const Action& a) {
    switch (a.kind) {
      case Kind::Restart:
        if (running_) return false;
        startProgram(a.a != 0);
        return true;
      case Kind::SecondCopy:
        secondCopy();
        return true;
      case Kind::SavesFail:
        files_.writeFailure = kDenied;
        return true;
      case Kind::SavesWork:
        files_.writeFailure.clear();
        return true;
      case Kind::DriveAppears:
        if (listed(kLetters[a.a])) return false;
        setDrive(kLetters[a.a], true);
        return true;
      case Kind::DriveGoes:
        if (!listed(kLetters[a.a])) return false;
        setDrive(kLetters[a.a], false);
        return true;
      case Kind::FreeSpace: {
        bool ok = true;
        DiskCounters counters = freeSpaceAnswer(a.b, ok);
        disks_.answers[std::string(1, kLetters[a.a]) + ":\\"] = {counters, ok};
        return true;
      }
      default:
        break;
    }
    if (!running_) return false;
    switch (a.kind) {
      case Kind::Tray:
        return applyTray(a);
      case Kind::Press:
        return applyPress(a);
      case Kind::Move:
        return applyMove(a);
      case Kind::Release:
        return applyRelease(a);
      case Kind::Box:
      case Kind::Choose:
      case Kind::Accept:
      case Kind::Okay:
      case Kind::Cancel:
      case Kind::CloseBox:
      case Kind::OptionsMenu:
        return applyOptions(a);
      case Kind::AboutRelease:
      case Kind::AboutClose:
        return applyAbout(a);
      case Kind::HelpKey:
        return applyHelpKey(a);
      case Kind::Activate:
        if (!takesInput(a.a)) return false;
        activate(a.a);
        return true;
      case Kind::Timer: {
        fake::FakeWindow* w = window(kDrive);
        if (!w || !w->timerRunning) return false;
        fake().enter([&] { sink("smallwindow").timer(); });
        checkDriveLines();
        return true;
      }
      case Kind::ShellRestart: {
        // The new notification area knows no icons; every top-level window hears of it.
        icons_ = 0;
        fake().shell.iconPresent = false;
        if (window("tbarw")) fake().enter([&] { sink("tbarw").taskbarCreated(); });
        return true;
      }
      default:
        return false;
    }
  }

  // Just refreshed, the drive window has a line of text for each used slot and a blank one for
  // each empty slot, in the slot's own place.
  void checkDriveLines() {
    fake::FakeWindow* w = window(kDrive);
    if (fake().ended() || !w) return;
    for (int k = 0; k < kSlots; ++k) {
      const std::string& text = w->controls.at(SmallWindow::kSlotLine[static_cast<std::size_t>(k)]).text;
      // A used slot's line starts with the slot up to its colon (nothing when it has none).
      std::size_t colon = committed_[k].find(':');
      std::string prefix = (colon == std::string::npos ? std::string() : committed_[k].substr(0, colon + 1)) + " ";
      if (text.empty() != committed_[k].empty() || (!text.empty() && text.compare(0, prefix.size(), prefix) != 0))
        fail("drive window", "the line of slot " + std::to_string(k + 1) + " reads " + escaped(text) +
                                 " while the slot holds " + escaped(committed_[k]));
    }
  }

  // A modal window opened: the user answers it with actions of the sequence until it closes.
  void answerModal(WindowHandle h) {
    fake().desktop.onModal.push_back([this](WindowHandle next) { answerModal(next); });
    std::string name;
    for (int i : {kOptions, kAbout})
      if (window(i) && fake().desktop.handleOf(kWindowNames[i]) == h) name = kWindowNames[i];
    if (name.empty()) fail("modal", "an unexpected window was shown modally");
    ++stats_.modals;
    trace("(" + name + " opens modally)");
    ++depth_;
    struct Leave {
      int& depth;
      ~Leave() { --depth; }
    } leave{depth_};
    syncActivations();
    check();
    int inner = 0;
    Action a;
    auto open = [&] {
      fake::FakeWindow* w = window(name);
      return w && w->visible && fake().desktop.handleOf(name) == h;
    };
    while (open()) {
      Context c = context();
      c.modal = name;
      c.inner = inner;
      if (!source_.next(c, a)) break;
      ++inner;
      step(a);
    }
    // Whatever the program does next belongs to what opened the window.
    pendingLine_ = "(back from " + name + ")";
    pendingDepth_ = depth_ - 1;
  }

  // ---- checks after every action

  void check() {
    scanLog();
    syncActivations();
    checkEnd();
    checkShell();
    checkMessages();
    if (!running_) return;
    // Inside a modal window the program waits with that window shown; once an action closes
    // it, the program goes on at once with what opened it, so the order is looked at when the
    // outermost action is done.
    if (depth_ == 0) checkTopmost();
    checkOptions();
  }

  void scanLog() {
    const auto& log = fake().log;
    for (; seenLog_ < log.size(); ++seenLog_) {
      const std::string& line = log[seenLog_];
      if (line == "create smallwindow") {
        held_ = false;  // a new window has recorded no press
        pressLeft_ = pressTop_ = 0;
      } else if (line == "destroy smallwindow") {
        held_ = false;
      }
    }
  }

  void checkEnd() {
    if (!running_) return;
    fake::FakePlatform& f = fake();
    if (f.ended()) {
      if (!quitExpected_)
        fail("ended",
             "the program ended" +
                 (f.desktop.messages.empty() ? std::string() : ": " + escaped(f.desktop.messages.back().first)));
      if (*f.process.endedWith != 0)
        fail("ended", "Quit ended the program with code " + std::to_string(*f.process.endedWith));
      running_ = false;
      ++stats_.quits;
      checkShell();
      if (icons_ != 0) fail("tray icon", "the tray icon is still there after Quit");
      if (f.desktop.windowCount() != 0) fail("ended", "windows are left after Quit");
    } else if (quitExpected_) {
      fail("ended", "Quit did not end the program");
    }
  }

  void checkShell() {
    fake::FakeShell& shell = fake().shell;
    for (; seenCommands_ < shell.commands.size(); ++seenCommands_) {
      switch (shell.commands[seenCommands_]) {
        case TrayCommand::Add:
          addNote("   (adds the tray icon)");
          if (icons_ > 0) fail("tray icon", "the tray icon is added while it is there: a second icon");
          ++icons_;
          break;
        case TrayCommand::Modify:
          if (icons_ == 0) fail("tray icon", "the tray icon is modified while the shell has none");
          break;
        case TrayCommand::Delete:
          addNote("   (removes the tray icon)");
          icons_ = 0;
          break;
      }
    }
    if (!shell.commands.empty() && shell.lastRecord.uID != 1) fail("tray icon", "the tray record's uID is not 1");
    fake::FakeWindow* tbarw = window("tbarw");
    if (tbarw && !shell.commands.empty() && shell.lastRecord.hWnd != fake().desktop.handleOf("tbarw"))
      fail("tray icon", "the tray record does not name the tray window");
    if (running_ && mainDone_ && icons_ != 1) fail("tray icon", "the program runs without its tray icon");
  }

  void checkMessages() {
    const auto& messages = fake().desktop.messages;
    for (; seenMessages_ < messages.size(); ++seenMessages_) {
      const auto& [text, caption] = messages[seenMessages_];
      if (text.compare(0, kSaveFailedText.size(), kSaveFailedText) != 0 || caption != kProgramTitle)
        fail("message", "an unexpected message box: " + escaped(text));
      if (failedWrites_ == 0) fail("message", "a save-failure message without a failed save");
      --failedWrites_;
    }
    if (failedWrites_ != 0) fail("message", "a save failed and nobody was told");
  }

  void checkTopmost() {
    fake::FakeWindow* drive = window(kDrive);
    if (!drive || !drive->visible) return;
    fake::FakeWindow* options = window(kOptions);
    fake::FakeWindow* about = window(kAbout);
    if ((options && options->visible) || (about && about->visible)) return;
    if (!drive->topmost)
      fail("topmost", "the drive window is shown, no other window of the program is, and it is not topmost");
  }

  void checkOptions() {
    fake::FakeWindow* w = window(kOptions);
    if (!w || !w->visible) return;
    for (int n = 0; n < kSlots; ++n) {
      const fake::FakeControl& box = w->controls.at(OptionsWindow::Check1 + n);
      if (box.checked != checked_[n] || box.text != working_[n])
        fail("options", "box " + std::to_string(n + 1) + " shows " + (box.checked ? "checked " : "unchecked ") +
                            escaped(box.text) + ", the model has " + (checked_[n] ? "checked " : "unchecked ") +
                            escaped(working_[n]));
    }
    bool picking = pick_ >= 0;
    if (w->controls.at(OptionsWindow::Drive1).visible != picking ||
        w->controls.at(OptionsWindow::Command3).visible != picking)
      fail("options", std::string("the drive picker is ") +
                          (picking ? "hidden while a box waits for a drive" : "shown with no box waiting"));
  }

 public:
  Context context() {
    Context c;
    c.running = running_;
    c.savesFail = !files_.writeFailure.empty();
    if (!running_) return c;
    c.tray = icons_ > 0 && window("tbarw");
    fake::FakeWindow* drive = window(kDrive);
    c.drive = takesInput(kDrive);
    c.held = held_;
    c.heldButton = heldButton_;
    c.timer = drive && drive->timerRunning;
    c.options = optionsShown();
    c.picker = c.options && window(kOptions)->controls.at(OptionsWindow::Drive1).visible;
    c.about = takesInput(kAbout);
    for (int i : {kDrive, kOptions, kAbout})
      if (takesInput(i)) c.usable.push_back(i);
    return c;
  }

 private:
  StartSpec start_;
  Source& source_;
  std::vector<std::string>* trace_;
  Stats ownStats_;
  Stats& stats_;

  // The world that outlives a process: the files and the drives.
  std::vector<std::string> filesLog_;
  fake::FakeFiles files_{filesLog_};
  fake::FakeDisks disks_;
  ObservedFiles observed_{files_};
  std::vector<Process> processes_;

  // The model.
  Slots committed_;                     // drives last committed: by "Okay", or by the file at start
  std::optional<Slots> fileDrives_;     // what the file holds, when there is one
  int recordLeft_ = 0, recordTop_ = 0;  // the position the record holds
  bool running_ = false, mainDone_ = false, quitExpected_ = false, secondCopy_ = false;
  int icons_ = 0;
  int failedWrites_ = 0;  // failed saves not yet told to the user
  Slots working_;
  std::array<bool, kSlots> checked_{};
  int pick_ = -1;
  bool held_ = false;
  int heldButton_ = 1, pressX_ = 0, pressY_ = 0, pressLeft_ = 0, pressTop_ = 0;
  int pointerX_ = 0, pointerY_ = 0;

  std::size_t seenCommands_ = 0, seenMessages_ = 0, seenLog_ = 0;
  int seenActivations_ = 0;
  int chosen_ = -1, asked_ = 0;
  std::size_t noteLine_ = static_cast<std::size_t>(-1), lastLine_ = static_cast<std::size_t>(-1);
  std::string pendingLine_;
  int pendingDepth_ = 0;
  int listQueries_ = 0;
  bool activating_ = false;  // a click that activates a window first says so in the trace
  int depth_ = 0;
  std::size_t taken_ = 0;
};

// ---- the run's settings

std::optional<std::string> env(const char* name) {
  const char* v = std::getenv(name);
  if (!v || !*v) return std::nullopt;
  return std::string(v);
}

std::uint64_t runSeed() {
  std::optional<std::string> v = env("KV_MODEL_SEED");
  if (!v) return 0x4B563939ull;  // the same run every time unless asked otherwise
  if (*v == "random") {
    std::random_device device;
    return (static_cast<std::uint64_t>(device()) << 32) ^ device();
  }
  return std::stoull(*v, nullptr, 0);
}

int envInt(const char* name, int fallback) {
  std::optional<std::string> v = env(name);
  return v ? std::stoi(*v) : fallback;
}

struct Outcome {
  std::optional<Violation> violation;
  std::size_t taken = 0;
};

Outcome replay(const StartSpec& start, const std::vector<Action>& actions, std::vector<std::string>* trace = nullptr) {
  Replay source(actions);
  ModelRun run(start, source, trace);
  Outcome out;
  out.violation = run.execute();
  out.taken = run.taken();
  return out;
}

std::string report(std::uint64_t seed, int index, const StartSpec& start, const Violation& found,
                   const std::vector<Action>& recorded, std::size_t actionsBefore) {
  // Shorten: a candidate counts when it breaks the same promise.
  int runs = 0;
  std::vector<Action> shortest = shrink(
      recorded,
      [&](const std::vector<Action>& candidate) -> std::optional<std::size_t> {
        Outcome o = replay(start, candidate);
        if (o.violation && o.violation->kind == found.kind) return o.taken;
        return std::nullopt;
      },
      runs);
  std::vector<std::string> trace;
  Outcome last = replay(start, shortest, &trace);
  const Violation& shown = last.violation ? *last.violation : found;

  std::ostringstream out;
  out << "Model test failure (run seed " << seed << ", sequence " << index << ", after " << actionsBefore
      << " actions of earlier sequences)\n"
      << "  broken promise [" << shown.kind << "]: " << shown.detail << "\n"
      << "  (first seen as: " << found.detail << ")\n"
      << "Shortest sequence found (" << shortest.size() << " of " << recorded.size() << " actions, " << runs
      << " replays):\n"
      << "  start: " << describe(start) << "\n";
  int n = 0;
  for (const auto& line : trace) {
    bool action = line.find_first_not_of(' ') != std::string::npos && line[line.find_first_not_of(' ')] != '(';
    std::string number;
    if (action) {
      number = std::to_string(++n) + ". ";
      number.insert(0, number.size() < 6 ? 6 - number.size() : 0, ' ');
    } else {
      number = "      ";
    }
    out << number << line << "\n";
  }
  out << "Reproduce: KV_MODEL_SEED=" << seed << " KV_MODEL_ONLY=" << index
      << " ./build/native/kvtests --gtest_filter='Model*'\n";
  return out.str();
}

// ---- the tests

TEST(ModelTest, LongRandomRunsKeepEveryPromiseAfterEveryAction) {
  const std::uint64_t seed = runSeed();
  const int sequences = envInt("KV_MODEL_SEQUENCES", 200);
  const int length = envInt("KV_MODEL_LENGTH", 500);
  const int only = envInt("KV_MODEL_ONLY", -1);
  std::cout << "[ model    ] KV_MODEL_SEED=" << seed << ", " << sequences << " sequences of " << length << " actions"
            << std::endl;

  auto began = std::chrono::steady_clock::now();
  std::size_t total = 0;
  Stats stats;
  for (int i = 0; i < sequences; ++i) {
    if (only >= 0 && i != only) continue;
    Rng rng(sequenceSeed(seed, i));
    StartSpec start = randomStart(rng);
    std::vector<Action> recorded;
    Generator generator(rng, static_cast<std::size_t>(length), recorded);
    ModelRun run(start, generator, nullptr, &stats);
    std::optional<Violation> v = run.execute();
    if (v) {
      recorded.resize(run.taken());
      ADD_FAILURE() << report(seed, i, start, *v, recorded, total);
      return;
    }
    total += run.taken();
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
  std::cout << "[ model    ] " << total << " actions in " << seconds << " s" << std::endl;
  std::cout << "[ model    ] " << stats.text() << std::endl;
  if (only < 0 && sequences >= 200 && length >= 500) {
    EXPECT_GE(total, 100000u);
  }
}

// The shortening finds the few actions that matter among many that do not.
TEST(ModelTest, ShrinkKeepsOnlyWhatTheFailureNeeds) {
  std::vector<int> items;
  for (int i = 0; i < 300; ++i) items.push_back(i % 50);
  int runs = 0;
  // Fails when a 7 comes before a 3 (somewhere later), and says where the 3 was.
  auto fails = [](const std::vector<int>& c) -> std::optional<std::size_t> {
    bool seven = false;
    for (std::size_t i = 0; i < c.size(); ++i) {
      if (c[i] == 7) seven = true;
      if (c[i] == 3 && seven) return i + 1;
    }
    return std::nullopt;
  };
  EXPECT_EQ(shrink(items, fails, runs), (std::vector<int>{7, 3}));
  EXPECT_LT(runs, 300);
}

}  // namespace
}  // namespace kv::model
