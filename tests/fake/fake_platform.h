#pragma once
// An in-memory platform: it records what the program asks for and lets a test act as the
// user, also inside modal windows and popup menus.
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/program.h"
#include "platform/platform.h"

namespace kv::fake {

// Thrown by Process::end, so that a test sees the process end without leaving the test.
struct ProcessEnded {
  int code;
};

struct FakeControl {
  ControlLayout layout;
  std::string text;
  bool visible = true;
  bool checked = false;
  std::vector<std::string> items;
  int current = -1;
};

struct FakeWindow {
  WindowLayout layout;
  WindowEvents* sink = nullptr;
  bool visible = false;
  bool enabled = true;
  bool topmost = false;
  Rect bounds;
  std::map<int, FakeControl> controls;
  bool timerRunning = false;
  unsigned timerInterval = 0;
  int textWrites = 0;
};

class FakeDesktop : public Desktop {
 public:
  explicit FakeDesktop(std::vector<std::string>& log) : log_(log) {}

  WindowHandle create(const WindowLayout&, WindowEvents&) override;
  void destroy(WindowHandle) override;
  void show(WindowHandle) override;
  void hide(WindowHandle) override;
  void bringToFront(WindowHandle) override;
  void runModal(WindowHandle, WindowHandle owner, const std::function<bool()>& stillOpen) override;
  Rect bounds(WindowHandle) override;
  void moveTo(WindowHandle, int left, int top) override;
  void setTopmost(WindowHandle, bool) override;
  void setText(WindowHandle, int, const std::string&) override;
  void setVisible(WindowHandle, int, bool) override;
  void setChecked(WindowHandle, int, bool) override;
  void setItems(WindowHandle, int, const std::vector<std::string>&, int) override;
  std::string currentItem(WindowHandle, int) override;
  void startTimer(WindowHandle, unsigned) override;
  void stopTimer(WindowHandle) override;
  int popupMenu(WindowHandle owner, const Menu&) override;
  int screenWidth() override { return screenWidthTwips; }
  unsigned long iconHandle(WindowHandle w) override { return w + 1; }
  void runEvents() override {}

  // Looking at the windows.
  FakeWindow* find(const std::string& name);    // nullptr when not created
  FakeWindow& window(const std::string& name);  // fails the test when not created
  WindowHandle handleOf(const std::string& name);
  bool exists(const std::string& name) { return find(name) != nullptr; }
  int windowCount() const { return static_cast<int>(windows_.size()); }

  // Acting as the user on a window that exists.
  WindowEvents& sink(const std::string& name) { return *window(name).sink; }
  void selectItem(const std::string& window, int control, int index);

  // What the user does when a modal window opens (taken in order; the window's handle is
  // given). With none left, the modal window is closed by its close box.
  std::deque<std::function<void(WindowHandle)>> onModal;
  // What the user does while a message box is up (one each, in order), before pressing OK.
  std::deque<std::function<void()>> onMessageBox;
  // Which entry the user picks when a popup menu opens (taken in order; 0 picks nothing).
  std::deque<std::function<int(const Menu&)>> onMenu;
  std::vector<Menu> menusShown;
  std::vector<std::pair<std::string, std::string>> messages;  // text, caption
  int screenWidthTwips = 1024 * 15;
  int modalDepth = 0;
  // The user brings a window to the front: it must be on the screen and enabled. As on
  // Windows, the program hears of every change of the active window.
  void activate(WindowHandle);
  // The user switches to another program.
  void switchAway() { active_ = 0; }
  WindowHandle active() const { return active_; }
  // By window name: how often the window became the program's active window.
  std::map<std::string, int> activations;

 private:
  struct ModalFrame {
    WindowHandle window, owner;
  };
  void showMessageBox(WindowHandle, const std::string& text, const std::string& caption) override;
  FakeControl& control(WindowHandle, int id);
  std::string nameOf(WindowHandle) const;
  // The window becomes the foreground window, shown or not (SetForegroundWindow).
  void makeActive(WindowHandle);
  // A modal window leaves the screen: its owner takes its input back and becomes active.
  void modalLeaves(WindowHandle);

  std::vector<std::string>& log_;
  std::map<WindowHandle, FakeWindow> windows_;
  WindowHandle next_ = 0x100;
  WindowHandle active_ = 0;
  WindowHandle programActive_ = 0;
  std::vector<ModalFrame> modal_;
};

class FakeShell : public Shell {
 public:
  explicit FakeShell(std::vector<std::string>& log) : log_(log) {}
  void notifyIcon(TrayCommand, const TrayRecord&) override;
  int findExecutable(const std::string& document, std::string& program) override;
  int execute(unsigned long owner, const std::string& program, const std::string& parameters) override;

  bool iconPresent = false;
  int iconsAdded = 0;
  TrayRecord lastRecord;
  std::vector<TrayCommand> commands;
  int findResult = 42;
  std::string browser = "C:\\Browser\\browse.exe";
  int executeResult = 42;
  std::vector<std::string> started;  // "program parameters"
  std::vector<std::string> documentsLookedUp;
  std::function<void(const std::string&)> duringLookup;

 private:
  std::vector<std::string>& log_;
};

class FakeDisks : public Disks {
 public:
  bool freeSpace(const std::string& root, DiskCounters&) override;
  std::vector<std::string> driveList() override {
    ++driveListQueries;
    return drives;
  }
  int driveListQueries = 0;

  struct Answer {
    DiskCounters counters;
    bool ok = true;
  };
  std::map<std::string, Answer> answers;  // by root; a root not listed fails
  std::vector<std::string> drives{"c: [system]", "d: [data]", "z:"};
  std::vector<std::string> queries;
};

class FakeHelp : public HelpViewer {
 public:
  explicit FakeHelp(std::vector<std::string>& log) : log_(log) {}
  void show(WindowHandle, const std::string& file, unsigned command, unsigned long topic) override;
  struct Request {
    std::string file;
    unsigned command;
    unsigned long topic;
  };
  std::vector<Request> requests;

 private:
  std::vector<std::string>& log_;
};

class FakeProcess : public Process {
 public:
  explicit FakeProcess(std::vector<std::string>& log) : log_(log) {}
  bool previousInstance() override { return anotherRunning; }
  std::string commandLine() override { return arguments; }
  std::string exeFolder() override { return folder; }
  VersionNumbers version() override { return VersionNumbers{1, 4, 3}; }
  char decimalSeparator() override { return separator; }
  void end(int code) override;

  bool anotherRunning = false;
  std::string arguments;
  std::string folder = "C:\\Programs\\Kestrovan";
  char separator = '.';
  std::optional<int> endedWith;

 private:
  std::vector<std::string>& log_;
};

class FakeFiles : public Files {
 public:
  explicit FakeFiles(std::vector<std::string>& log) : log_(log) {}
  bool normalFileExists(const std::string& path) override;
  std::optional<std::string> read(const std::string& path, std::size_t limit) override;
  std::string writeAtomic(const std::string& path, const std::string& bytes) override;
  std::string createTemporary(const std::string& extension, const std::string& bytes) override;
  void remove(const std::string& path) override;

  struct Entry {
    std::string bytes;
    bool hidden = false;
    bool system = false;
    bool folder = false;
    bool unreadable = false;
  };
  std::map<std::string, Entry> entries;
  std::string writeFailure;  // when not empty, every write fails with this reason
  bool temporaryFails = false;
  int writes = 0;
  std::size_t largestRead = 0;  // bytes

 private:
  std::vector<std::string>& log_;
  int temporaries_ = 0;
};

// All of it, wired together.
class FakePlatform {
 public:
  FakePlatform();
  Platform& platform() { return platform_; }

  // Runs one entry from the platform as the real event loop would: a failure that escapes is
  // reported and ends the process; the end of the process stops the entry.
  void enter(const std::function<void()>& entry);
  bool ended() const { return process.endedWith.has_value(); }

  // The log entries that begin with one of the prefixes, in order.
  std::vector<std::string> logOf(const std::vector<std::string>& prefixes) const;

  std::vector<std::string> log;
  FakeDesktop desktop{log};
  FakeShell shell{log};
  FakeDisks disks;
  FakeHelp help{log};
  FakeProcess process{log};
  FakeFiles files{log};

 private:
  Platform platform_;
};

}  // namespace kv::fake
