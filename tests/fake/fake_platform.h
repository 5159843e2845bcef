#pragma once
// An in-memory platform that behaves as Windows does where the program depends on it: a popup
// menu makes its owner the foreground window, hiding a modal window activates its owner, a
// message box runs its own loop with its owner disabled and, closed, activates the owner only if
// the owner takes input by then, the shell refuses to modify an icon it does not have and shows
// only the fields the record flags, timers fire at their period, and a drive's answer comes as a
// posted message. Tests act as the user through it, also inside modal windows, menus and boxes.
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "program/program.h"

namespace kv::fake {

struct ProcessEnded {};  // thrown by Process::end: the test sees the end without leaving itself

// What an entry from the system does while a message box of the program is up, as the Windows
// adapter has it: dropped, the box brought to the front (the user's press), or run (the system's
// news and the drives' answers).
enum class UnderBox { Dropped, BringsItUp, Runs };

// The thread's posted messages: the system delivers them after the entry under way returns,
// and inside the nested loops of modal windows, menus and message boxes.
class PostedMessages {
 public:
  void post(std::function<void()> message) { queue_.push_back(std::move(message)); }
  // Each in turn, those posted meanwhile too; a delivery under way is not re-entered.
  void deliver();

 private:
  std::deque<std::function<void()>> queue_;
  bool delivering_ = false;
};

struct FakeControl {
  ControlLayout layout;
  std::string text;
  bool visible = true, checked = false;
  std::vector<std::string> items;
  int current = -1;
};

// A monitor of the desktop: where it stands, in the desktop's twips, and the DPI it draws at.
struct FakeMonitor {
  Rect area;
  int dpi = 96;
};

struct FakeWindow {
  WindowHandle handle = 0;
  WindowLayout layout;
  WindowEvents* sink = nullptr;
  bool visible = false, enabled = true, topmost = false;
  unsigned timerPeriod = 0;  // milliseconds; 0: no timer
  unsigned long long timerDue = 0;
  Rect bounds;    // on the desktop, in the desktop's twips: sizes grow with the monitor's DPI
  int dpi = 96;   // the DPI of the monitor it is on, which it is laid out at
  int focus = 0;  // the control with the keyboard focus; 0: the window itself
  std::map<int, FakeControl> controls;
};

class FakeDesktop : public Desktop {
 public:
  explicit FakeDesktop(PostedMessages& posted) : posted_(posted) {}
  WindowHandle create(const WindowLayout&, WindowEvents&) override;
  void destroy(WindowHandle h) override {
    hide(h);
    windows_.erase(h);
  }
  void show(WindowHandle h) override {
    at(h).visible = true;
    activate(h);
  }
  void hide(WindowHandle) override;
  void bringToFront(WindowHandle h) override { activate(h); }
  void runModal(WindowHandle, WindowHandle owner, const std::function<bool()>& stillOpen) override;
  void relayout(WindowHandle h, const WindowLayout& layout) override;
  // A proportional face: digits and most letters about 8 pixels wide at 12 points, at 96 DPI.
  int textWidth(WindowHandle, const Font& font, const std::string& text) override {
    return static_cast<int>(text.size() * textScale * 120 * font.points / 12);
  }
  Rect bounds(WindowHandle h) override { return at(h).bounds; }
  // Onto a monitor of another DPI, the window is laid out at that DPI and told so.
  void moveTo(WindowHandle h, int left, int top) override;
  void rescale(WindowHandle, int dpi);  // its monitor draws at this DPI now
  void setTopmost(WindowHandle h, bool on) override { at(h).topmost = on; }
  // A label shown draws its text as it gets it (a static control paints on WM_SETTEXT), at its width then.
  void setText(WindowHandle h, int id, const std::string& text) override {
    FakeControl& c = control(h, id);
    c.text = text;
    if (c.layout.kind == ControlKind::Label && c.visible && at(h).visible &&
        textWidth(h, c.layout.font, text) > c.layout.rect.width)
      drawnCut.push_back(text);
  }
  // A hidden control that had the focus hands it to the next that takes the tab key.
  void setVisible(WindowHandle h, int id, bool on) override {
    control(h, id).visible = on;
    if (!on && at(h).focus == id) at(h).focus = nextFocus(at(h), id);
  }
  void setChecked(WindowHandle h, int id, bool on) override { control(h, id).checked = on; }
  void setItems(WindowHandle h, int id, const std::vector<std::string>& items, int current) override {
    control(h, id).items = items;
    control(h, id).current = current;
  }
  std::string currentItem(WindowHandle h, int id) override {
    FakeControl& c = control(h, id);
    return c.current >= 0 && c.current < static_cast<int>(c.items.size()) ? c.items[c.current] : "";
  }
  // A timer fires once a period; starting it again starts its period anew.
  void startTimer(WindowHandle h, unsigned ms) override { at(h).timerPeriod = ms, at(h).timerDue = now + ms; }
  void stopTimer(WindowHandle h) override { at(h).timerPeriod = 0; }
  // The window whose timer is due first by then, its next period begun; none when none is.
  FakeWindow* dueTimer(unsigned long long until);
  int popupMenu(WindowHandle owner, const Menu&) override;
  void messageBox(WindowHandle owner, const std::string& text, const std::string& caption) override;
  bool messageBoxUp() const override { return boxesUp_ > 0; }
  void bringMessageBoxToFront() override { ++boxBroughtToFront; }
  std::vector<Rect> monitors() override;
  IconHandle iconHandle(WindowHandle w) override { return w + 1; }
  void runEvents() override {}

  FakeWindow* find(const std::string& name);  // nullptr when it does not exist
  FakeWindow* byHandle(WindowHandle h) { return windows_.count(h) ? &windows_.at(h) : nullptr; }
  FakeWindow& window(const std::string& name);
  WindowHandle handleOf(const std::string& name) { return window(name).handle; }
  bool shown(const std::string& name) { return find(name) && find(name)->visible; }
  WindowEvents& sink(const std::string& name) { return *window(name).sink; }
  std::vector<WindowEvents*> sinks() const;  // every window's, in the order they were made
  // The user brings a window to the front: only one on the screen and enabled comes.
  void activate(WindowHandle);
  void switchAway() { active_ = 0; }  // the user goes to another program
  WindowHandle active() const { return active_; }
  // The window a modal one stays above while it is modal; 0 for any other.
  WindowHandle ownerOf(WindowHandle h) const {
    for (const auto& [window, owner] : modal_)
      if (window == h) return owner;
    return 0;
  }

  // What the user does, in turn, when a modal window opens (given its name; one left open is closed
  // by its close box), a popup menu opens (the entry picked; 0 for none) or a message box is up.
  std::deque<std::function<void(const std::string& window)>> onModal;
  std::deque<std::function<int(const Menu&)>> onMenu;
  std::deque<std::function<void()>> onMessageBox;
  std::vector<Menu> menusShown;
  Point pointer, menuCorner;           // a popup menu opens where the pointer is
  std::vector<std::string> messages;   // texts; a caption not the program's is put before one
  std::vector<std::string> boxOwners;  // the name of each box's owner, "" for none
  int boxBroughtToFront = 0;
  // What the user sees the moment a window of the program becomes the active one (its name).
  std::function<void(const std::string& window)> onActivate;
  std::map<std::string, int> created;
  // The texts a label drew wider than it was then: the user saw them cut.
  std::vector<std::string> drawnCut;
  // The desktop, the primary monitor first (FakePlatform::changeDesktop tells the windows).
  std::vector<FakeMonitor> screens{{Rect{0, 0, 1024 * 15, 768 * 15}, 96}};
  double textScale = 1;        // texts this many times as wide in twips, as a face hinted at another DPI draws them
  unsigned long long now = 0;  // milliseconds since the test began
  int modalDepth = 0;

 private:
  FakeWindow& at(WindowHandle h) { return windows_.at(h); }
  FakeControl& control(WindowHandle h, int id) { return at(h).controls.at(id); }
  void sizeFrame(FakeWindow&);
  int dpiAt(const Rect&) const;
  void makeActive(WindowHandle);
  // The next shown control after this one (0: the first) in tab order: a button, check box, list or picture; else 0.
  static int nextFocus(const FakeWindow&, int after);

  PostedMessages& posted_;
  std::map<WindowHandle, FakeWindow> windows_;
  std::vector<std::pair<WindowHandle, WindowHandle>> modal_;  // window, owner
  WindowHandle next_ = 0x100, active_ = 0;
  int boxesUp_ = 0;
};

class FakeShell : public Shell {
 public:
  bool notifyIcon(TrayCommand, const TrayRecord&) override;
  // The shell drops the icon without a word, as one may; the program hears nothing of it.
  void loseIcon() { iconPresent = false, tip_.clear(); }
  int findExecutable(const std::string& document, std::string& program) override {
    if (duringLookup) duringLookup(document);
    if (findResult > 32) program = "  C:\\Browser\\browse.exe  ";
    return findResult;
  }
  int execute(WindowHandle, const std::string& program, const std::string& parameters) override {
    started.push_back(program + " " + parameters);
    return 42;
  }
  // What the shell shows: each field only when its flag says it is given, as the shell takes it.
  std::string tip() const { return tip_; }
  // Where the shell sends the icon's mouse messages, as the record asked; 0 without the flag.
  WindowHandle callbackWindow = 0;
  unsigned callbackMessage = 0;
  IconHandle icon = 0;

  bool iconPresent = false;
  bool takesIcons = true;  // false: the notification area is not ready yet (log-on), it refuses all
  int taken = 0;           // adds, modifications and deletions the shell carried out
  int refused = 0;         // an icon added twice, or one modified or deleted that the shell does not have
  int findResult = 42;
  std::vector<std::string> started;  // "program parameters"
  std::function<void(const std::string&)> duringLookup;

 private:
  std::string tip_;
  WindowHandle iconWindow_ = 0;
  unsigned iconId_ = 0;
};

// A drive answers posted for after the entry that asked, each delivered as an entry of its own that
// runs under a message box too; a slow one holds its answers until released.
class FakeDisks : public Disks {
 public:
  using Enter = std::function<void(const std::function<void()>& answer)>;
  FakeDisks(PostedMessages& posted, Enter enter) : posted_(posted), enter_(std::move(enter)) {}
  void askFreeSpace(const std::string& root, Answer answer) override;
  std::vector<std::string> driveList() override {
    ++driveListQueries;
    return drives;
  }
  std::vector<std::string> drives{"c:", "d:", "z:"};
  // Posted, as the counters are; held while labelsHeld, until releaseLabels.
  void askLabel(const std::string& root, LabelAnswer answer) override;
  void releaseLabels();
  std::map<std::string, std::string> labels{{"c:\\", "system"}, {"d:\\", "data"}};  // by root; others have none
  bool labelsHeld = false;
  // The slow drive's answers, as it stands now, posted.
  void release(const std::string& root);

  std::map<std::string, DiskCounters> answers;  // by root; a root not listed fails
  std::set<std::string> slow;                   // roots that answer only when released
  std::map<std::string, int> asked;             // questions by root
  int overlapping = 0;                          // questions to a drive whose last answer has not been delivered
  int driveListQueries = 0;

 private:
  void post(const std::string& root, Answer answer);
  PostedMessages& posted_;
  Enter enter_;
  std::vector<std::pair<std::string, Answer>> held_;
  std::vector<std::pair<std::string, LabelAnswer>> heldLabels_;
  std::map<std::string, int> unanswered_;
};

class FakeHelp : public HelpViewer {
 public:
  bool showsHelpFiles() override { return viewerInstalled; }
  void show(WindowHandle, const std::string& file, HelpCommand command, unsigned long topic) override {
    if (during) during();
    requests.push_back(file + " " + std::to_string(static_cast<unsigned>(command)) + " " + std::to_string(topic));
  }
  std::vector<std::string> requests;  // "file command topic"
  std::function<void()> during;
  bool viewerInstalled = true;  // false: a Windows without a viewer for help files
};

class FakeProcess : public Process {
 public:
  // Its clock is the desktop's, whose time passes as the test says; alone, time stands still.
  explicit FakeProcess(const unsigned long long* desktopClock = &kStill) : clock(desktopClock) {}
  bool previousInstance() override { return anotherRunning; }
  std::string commandLine() override { return arguments; }
  // Not on the first drive, so that a program that assumes c: shows it.
  std::string exeFolder() override { return folder; }
  std::string folder = "D:\\Programs\\Kestrovan";
  VersionNumbers version() override { return versionBlock; }
  VersionNumbers versionBlock{1, 4, 3};
  char decimalSeparator() override { return separator; }
  unsigned milliseconds() override { return static_cast<unsigned>(*clock); }
  static constexpr unsigned long long kStill = 0;
  const unsigned long long* clock;
  void end(int code) override {
    endedWith = code;
    throw ProcessEnded{};
  }
  bool anotherRunning = false;
  std::string arguments;
  char separator = '.';
  std::optional<int> endedWith;
};

class FakeFiles : public Files {
 public:
  struct Entry {
    std::string bytes;
    bool hidden = false;  // hidden or system: no normal file
    bool unreadable = false;
    bool readOnly = false;  // a normal file that no write replaces
  };
  bool normalFileExists(const std::string& path) override { return entries.count(path) && !entries[path].hidden; }
  std::optional<std::string> read(const std::string& path, std::size_t limit) override;
  std::string writeAtomic(const std::string& path, const std::string& bytes) override;
  std::string createTemporary(const std::string& extension, const std::string& bytes) override {
    std::string path = "C:\\Temp\\kv99-" + std::to_string(++temporaries_) + extension;
    entries[path] = Entry{bytes};
    return path;
  }
  void remove(const std::string& path) override { entries.erase(path); }

  std::map<std::string, Entry> entries;
  // The folders there are: the program's and the temporary one; a file goes only into one of them.
  std::set<std::string> folders{"D:\\Programs\\Kestrovan", "C:\\Temp"};
  std::string writeFailure;  // when set, every write fails with this reason
  int writes = 0, failedWrites = 0;
  std::size_t largestRead = 0;
  std::function<void(const std::string& bytes)> onWrite;  // after each write that succeeded

 private:
  int temporaries_ = 0;
};

struct FakePlatform {
  PostedMessages posted;
  FakeDesktop desktop{posted};
  FakeShell shell;
  FakeDisks disks{posted, [this](const std::function<void()>& answer) { enter(answer, UnderBox::Runs); }};
  FakeHelp help;
  FakeProcess process{&desktop.now};
  FakeFiles files;
  Platform platform{desktop, shell, disks, help, process, files};

  // One entry from the platform, as the real event loop runs it: inside the failure boundary,
  // the messages it posted delivered once the outermost entry has returned. The end of the
  // process stops every entry under way, nested ones and the outermost.
  void enter(const std::function<void()>& entry, UnderBox underBox = UnderBox::Dropped) {
    if (ended()) return;
    {
      struct Depth {
        int& depth;
        ~Depth() { --depth; }
      } nested{++depth_};
      try {
        underTheRule(entry, underBox);
      } catch (const ProcessEnded&) {
        if (depth_ > 1) throw;
      }
    }
    if (depth_ == 0) idle();
  }
  // The event loop with nothing else to do: the posted messages.
  void idle() {
    try {
      if (!ended()) posted.deliver();
    } catch (const ProcessEnded&) {
    }
  }
  bool ended() const { return process.endedWith.has_value(); }

  // Monitors come or go, or change their resolution: every window hears it.
  void changeDesktop(std::vector<FakeMonitor> screens) {
    desktop.screens = std::move(screens);
    tellEveryWindow(&WindowEvents::desktopChanged);
  }
  // A drive comes or goes (a stick, a disc): every window hears it.
  void changeDrives(std::vector<std::string> drives) {
    disks.drives = std::move(drives);
    tellEveryWindow(&WindowEvents::drivesChanged);
  }
  // The user logs off: every window hears the end of the session, under a box too, then the process ends.
  void endSession() {
    tellEveryWindow(&WindowEvents::sessionEnding);
    if (!ended()) process.endedWith = 0;
  }

  // Time passes: every timer due fires, in order, each as its own entry.
  void elapse(unsigned ms) {
    const unsigned long long until = desktop.now + ms;
    while (FakeWindow* w = desktop.dueTimer(until)) {
      WindowEvents* sink = w->sink;
      enter([sink] { sink->timer(); });
    }
    desktop.now = until;
  }
  // The user acts on the tray icon: the shell sends the mouse message to the window the icon's
  // record named, as the callback message the record named, when the icon is there and has one.
  // The program's hidden window takes a mouse move as the icon's callback.
  void trayMouse(unsigned mouseMessage) {
    constexpr unsigned kMouseMove = 0x200;
    FakeWindow* w = desktop.byHandle(shell.callbackWindow);
    if (!shell.iconPresent || !shell.icon || shell.callbackMessage != kMouseMove || !w ||
        w->layout.style != WindowStyle::Hidden)
      return;
    WindowEvents* sink = w->sink;
    const bool press = mouseMessage == 0x201 || mouseMessage == 0x204;  // a press brings a box up front
    enter([sink, mouseMessage] { sink->trayMessage(mouseMessage); }, press ? UnderBox::BringsItUp : UnderBox::Dropped);
  }

 private:
  // What the adapter does with an entry: held off under a message box as underBox says, and a
  // failure that escapes it shown in a box, the process ended.
  void underTheRule(const std::function<void()>& entry, UnderBox underBox);
  // An event from the system to every window, each as its own entry, under a message box too.
  void tellEveryWindow(void (WindowEvents::*event)()) {
    for (WindowEvents* sink : desktop.sinks()) enter([sink, event] { (sink->*event)(); }, UnderBox::Runs);
  }
  int depth_ = 0;
};

}  // namespace kv::fake

namespace kv {
using fake::UnderBox;  // the tests, in kv, name it unqualified
}  // namespace kv
