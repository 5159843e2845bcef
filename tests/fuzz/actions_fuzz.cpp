// The program on the fake platform, driven by any bytes: the first say how it starts (the settings
// file, the start-hidden switch, a folder that takes no writes), the rest are the user's actions and
// the world's, also under modal windows and message boxes; after each, checkAll() and saved() hold
// the program to its promises. KV_FUZZ_TRACE=1 prints the actions as they run.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "app/app.h"
#include "app/config_file.h"
#include "fake/fake_platform.h"

namespace {
using namespace kv;
using T = TrayWindow;
using O = OptionsWindow;
using D = DriveWindow;

void check(bool ok, const char* promise) {
  if (ok) return;
  std::fprintf(stderr, "broken promise: %s\n", promise);
  std::abort();
}

// A slot as measuring leaves it: up to its first colon, then a backslash.
std::string rootForm(const std::string& slot) {
  std::size_t colon = slot.find(':');
  return slot.empty() ? slot : (colon == std::string::npos ? "" : slot.substr(0, colon + 1)) + "\\";
}

const DiskCounters kAnswers[] = {{8, 512, 475200, 0}, {0, 0, 0, 0}, {~0u, ~0u, ~0u, ~0u}};
const char* const kRoots[] = {"c:\\", "d:\\", "z:\\", "q:\\"};
const char* const kWindows[] = {"smallwindow", "optionswindow", "aboutwindow"};
const char* const kActions[] = {"tray",  "press", "move", "release", "box",     "choose", "accept", "okay", "cancel",
                                "about", "front", "F1",   "timer",   "taskbar", "saves",  "drive",  "away"};
const int kTrayMenu[] = {0, T::FirstDrive, T::Show, T::Options, T::About, T::Help, T::Quit};
const int kPopup[] = {0, D::Hide, D::Options, D::About, D::Help, D::Quit};
const int kAbout[] = {0, AboutWindow::Banner, AboutWindow::Description, AboutWindow::WebAddress,
                      AboutWindow::CloseHint};
const MouseButton kButtons[] = {MouseButton::Left, MouseButton::Right, MouseButton::Middle};

class Run {
 public:
  Run(const std::uint8_t* data, std::size_t size) : p_(data), end_(data + size) {}

  void start() {
    int how = next();
    if (how & 2) {
      std::string bytes(reinterpret_cast<const char*>(p_), std::min<std::size_t>(next() * 4, end_ - p_));
      p_ += bytes.size();
      fake.files.entries["D:\\Programs\\Kestrovan\\kv99.cfg"] = {bytes};
      committed_ = parseConfig(bytes).drives;
    }
    fake.process.arguments = how & 1 ? "/min" : "";
    if (how & 4) fake.files.writeFailure = "Access is denied.";
    for (int i = 0; i < 3; ++i) fake.disks.answers[kRoots[i]] = kAnswers[0];
    fake.files.onWrite = [this](const std::string& bytes) { saved(bytes); };
    fake.desktop.onModal.push_back([this](const std::string& name) { nested(name); });
    fake.desktop.onMessageBox.push_back([this] { nested(""); });
    fake.enter([this] { app.main(); });
    running_ = true;
    checkAll();
    while (p_ < end_ && !fake.ended()) step();
  }

 private:
  int next() { return p_ < end_ ? *p_++ : 0; }
  bool usable(const char* name) { return fake.desktop.shown(name) && fake.desktop.window(name).enabled; }
  WindowEvents& sink(const char* name) { return fake.desktop.sink(name); }
  void menuPick(int entry) {
    fake.desktop.onMenu.assign(1, [this, entry](const Menu&) {
      quitting_ |= entry == T::Quit || entry == D::Quit;
      return entry;
    });
  }
  bool clickIn(const char* name) {  // a click brings the window to the front first
    if (usable(name)) fake.desktop.activate(fake.desktop.handleOf(name));
    return usable(name);
  }

  void step() {
    int op = next() % 17, a = next(), b = next();
    if (std::getenv("KV_FUZZ_TRACE")) std::fprintf(stderr, "%*s%s %d %d\n", 2 * depth_, "", kActions[op], a, b);
    auto act = [&] {
      fake::FakeWindow* drive = fake.desktop.find("smallwindow");
      if (op == 0 && fake.shell.iconPresent) {  // the user can click only an icon that is there
        if (a % 10 == 4) menuPick(kTrayMenu[b % 7]);
        sink("tbarw").trayMessage(0x200 + a % 10);
      } else if (op == 1 && clickIn("smallwindow")) {
        pointer_ = {a * 18, b * 4};
        sink("smallwindow").mouseDown(kButtons[a % 3], pointer_.x, pointer_.y);
      } else if (op == 2 && usable("smallwindow")) {  // with a button held the window keeps the mouse
        Rect at = drive->bounds;
        pointer_ = {pointer_.x + (a - 128) * 150, pointer_.y + (b - 128) * 15};
        sink("smallwindow").mouseMove(pointer_.x, pointer_.y);
        if ((drive = fake.desktop.find("smallwindow")))
          pointer_ = {pointer_.x - (drive->bounds.left - at.left), pointer_.y - (drive->bounds.top - at.top)};
      } else if (op == 3 && usable("smallwindow")) {
        menuPick(kPopup[b % 6]);
        sink("smallwindow").mouseUp(kButtons[a % 3], pointer_.x, pointer_.y);
      } else if (op >= 4 && op <= 8 && clickIn("optionswindow")) {
        options(op, a);
      } else if (op == 9 && clickIn("aboutwindow")) {
        a % 6 == 5 ? sink("aboutwindow").closeRequested()
                   : sink("aboutwindow").released(kAbout[a % 6], kButtons[b % 3]);
      } else if ((op == 10 || op == 11) && clickIn(kWindows[a % 3])) {
        if (op == 11) sink(kWindows[a % 3]).helpKey();
      } else if (op == 12 && drive && drive->timerPeriod) {
        sink("smallwindow").timer();
      } else if (op == 13) {  // the shell restarts: the new notification area has no icons
        fake.shell.iconPresent = false;
        if (fake.desktop.find("tbarw")) sink("tbarw").taskbarCreated();
      } else if (op == 14) {
        fake.files.writeFailure = a % 2 ? "Access is denied." : "";
      } else if (op == 15) {
        const char* root = kRoots[a % 4];
        if (b % 5 < 3) fake.disks.answers[root] = kAnswers[b % 5];
        if (b % 5 == 3) fake.disks.answers.erase(root);                                // the drive stops answering
        if (b % 5 == 4 && !fake.disks.slow.erase(root)) fake.disks.slow.insert(root);  // slow, or back
        if (b % 5 == 4) fake.disks.release(root);
      } else if (op == 16) {
        fake.desktop.switchAway();
      }
    };
    fake.enter(act, op == 13 ? UnderBox::Runs : UnderBox::Dropped);  // a new shell waits for no box
    checkAll();
  }

  void options(int op, int a) {
    WindowEvents& w = sink("optionswindow");
    auto& controls = fake.desktop.window("optionswindow").controls;
    auto& list = controls.at(O::DrivePicker);
    if (op == 4) w.controlClicked(O::FirstBox + a % kSlots);
    if (op == 5 && list.visible) list.current = list.items.empty() ? -1 : a % static_cast<int>(list.items.size());
    if (op == 6 && list.visible) w.controlClicked(O::AcceptDrive);
    if (op == 7) {  // what the user sees is what Okay commits
      for (int n = 0; n < kSlots; ++n)
        committed_[n] = controls.at(O::FirstBox + n).checked ? controls.at(O::FirstBox + n).text : "";
      a % 2 ? w.controlClicked(O::Okay) : w.menuChosen(O::Accept);
    }
    if (op == 8) a % 3 == 0 ? w.controlClicked(O::Cancel) : a % 3 == 1 ? w.menuChosen(O::Discard) : w.closeRequested();
  }

  // A modal window (named) or a message box is up: the next actions happen under it, until the
  // window closes; under a box just one, which reaches nothing of the program.
  void nested(std::string modal) {
    if (modal.empty()) fake.desktop.onMessageBox.push_back([this] { nested(""); });
    if (!modal.empty()) fake.desktop.onModal.push_back([this](const std::string& name) { nested(name); });
    ++depth_;
    while (p_ < end_ && !fake.ended()) {
      step();
      if (modal.empty() || !usable(modal.c_str())) break;
    }
    --depth_;
  }

  void saved(const std::string& bytes) {
    ConfigRead read = parseConfig(bytes);
    check(read.complete(), "a saved file reads back whole");
    for (int i = 0; i < kSlots; ++i)
      if (committed_[i].find('"') == std::string::npos)  // the format has no escape for a quote
        check(rootForm(read.drives[i]) == rootForm(committed_[i]), "a saved file holds the drives last committed");
    fake::FakeWindow* drive = fake.desktop.find("smallwindow");
    if (drive && drive->timerPeriod)
      check(*read.left == drive->bounds.left && *read.top == drive->bounds.top,
            "a saved file holds the drive window's place");
  }

  void checkAll() {
    check(fake.shell.refused == 0, "the shell is never asked for a second icon or one it lacks");
    check(fake.disks.overlapping == 0, "a drive is not asked again while its answer is on its way");
    check(fake.desktop.messages.size() == static_cast<std::size_t>(fake.files.failedWrites),
          "a message box for each failed save and for nothing else");
    if (fake.ended()) return check(quitting_ && !fake.shell.iconPresent, "only Quit ends, taking the icon away");
    check(!running_ || fake.shell.iconPresent, "the icon is there while the program runs");
    bool othersShown = fake.desktop.shown("optionswindow") || fake.desktop.shown("aboutwindow");
    if (depth_ == 0 && running_ && fake.desktop.shown("smallwindow") && !othersShown)
      check(fake.desktop.window("smallwindow").topmost, "the drive window is on top when no other window is shown");
  }

  const std::uint8_t* p_;
  const std::uint8_t* end_;
  fake::FakePlatform fake;
  App app{fake.platform};
  std::array<std::string, kSlots> committed_;
  Point pointer_;
  bool running_ = false, quitting_ = false;
  int depth_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Run(data, size).start();
  return 0;
}
