// The ports' contracts on the fake platform: the user acts as the unit tests do, through the fake's
// entries and its hooks for menus, modal windows and boxes; the program is installed in the folder
// the fake process names.
#include <algorithm>

#include "contract/worlds.h"
#include "fake/fake_platform.h"

namespace kv::contract {
namespace {

constexpr const char* kScratch = "C:\\Scratch";

class FakeWorld final : public World {
 public:
  FakeWorld() {
    files_.folders.insert(kScratch);
    process_.arguments = "/min";
    files_.entries[process_.exeFolder() + "\\" + programFile()] = {"MZ"};
  }
  Files& files() override { return files_; }
  Process& process() override { return process_; }
  std::string folder() override { return kScratch; }
  std::vector<std::string> namesInFolder() override {
    std::vector<std::string> names;
    const std::string prefix = std::string(kScratch) + "\\";
    const auto add = [&](const std::string& path) {
      if (path.compare(0, prefix.size(), prefix) == 0) names.push_back(path.substr(prefix.size()));
    };
    for (const auto& [path, entry] : files_.entries) add(path);
    for (const std::string& path : files_.folders) add(path);
    std::sort(names.begin(), names.end());
    return names;
  }
  void give(const std::string& path, Attribute attribute) override {
    (attribute == Attribute::ReadOnly ? files_.entries.at(path).readOnly : files_.entries.at(path).hidden) = true;
  }
  void makeFolder(const std::string& path) override { files_.folders.insert(path); }
  std::unique_ptr<Process> anotherCopy() override {
    auto copy = std::make_unique<fake::FakeProcess>();
    copy->anotherRunning = true;
    return copy;
  }
  std::string arguments() override { return "/min"; }
  std::string programFile() override { return "kestrovan99.exe"; }
  VersionNumbers version() override { return {1, 4, 3}; }
  void chooseDecimalSeparator(char separator) override { process_.separator = separator; }

 private:
  fake::FakeFiles files_;
  fake::FakeProcess process_;
};

class FakeDesktopWorld final : public DesktopWorld {
 public:
  Desktop& desktop() override { return fake_.desktop; }
  bool runUntil(const std::function<bool()>& done, unsigned ms) override {
    for (unsigned waited = 0;; waited += 10) {
      fake_.idle();
      if (done()) return true;
      if (waited >= ms) return false;
      fake_.elapse(10);
    }
  }
  int twipsPerPixel() override { return 15; }
  Rect workArea() override { return fake_.desktop.screens.front().area; }

  bool exists(WindowHandle h) override { return fake_.desktop.byHandle(h) != nullptr; }
  bool visible(WindowHandle h, int id) override { return id ? control(h, id).visible : window(h).visible; }
  bool takesInput(WindowHandle h) override { return window(h).enabled; }
  WindowHandle active() override { return fake_.desktop.active(); }
  int focused(WindowHandle h) override { return window(h).focus; }
  bool topmost(WindowHandle h) override { return window(h).topmost; }
  Rect clientArea(WindowHandle h) override {
    return scaled(h, {0, 0, window(h).layout.clientWidth, window(h).layout.clientHeight});
  }
  Rect controlPlace(WindowHandle h, int id) override {
    Rect place = control(h, id).layout.rect;
    if (const int frame = control(h, id).layout.parent) {
      place.left += control(h, frame).layout.rect.left;
      place.top += control(h, frame).layout.rect.top;
    }
    return scaled(h, place);
  }
  std::string text(WindowHandle h, int id) override { return control(h, id).text; }
  bool checked(WindowHandle h, int id) override { return control(h, id).checked; }
  int drawnWidth(WindowHandle h, int id) override {
    return scaled(h, {0, 0, fake_.desktop.textWidth(h, control(h, id).layout.font, control(h, id).text), 0}).width;
  }
  Font drawnFont(WindowHandle h, int id) override {
    const Font f = control(h, id).layout.font;
    return {f.face, f.points * window(h).dpi / fake_.desktop.screens.front().dpi};
  }
  Colour colour(WindowHandle h, int id, bool text) override {
    if (!id) return window(h).layout.back;
    const ControlLayout& c = control(h, id).layout;
    return text ? c.fore : c.transparentBack ? window(h).layout.back : c.back;
  }
  Point menuCorner() override { return fake_.desktop.menuCorner; }
  void pointTo(Point at) override { fake_.desktop.pointer = at; }
  std::vector<std::string> menuShown(WindowHandle h) override {
    std::vector<std::string> shown;
    const auto entries = [&](const Menu& menu) {
      for (const MenuEntry& e : menu.entries)
        if (e.visible) shown.push_back(e.caption + (e.shortcut.empty() ? "" : "\t" + e.shortcut));
    };
    if (!h) entries(fake_.desktop.menusShown.back());
    for (const Menu& menu : h ? window(h).layout.menuBar : std::vector<Menu>{})
      shown.push_back(menu.caption), entries(menu);
    return shown;
  }
  Rect imageSize(WindowHandle h, int id) override {  // the picture fills its control
    return scaled(h, {0, 0, control(h, id).layout.rect.width, control(h, id).layout.rect.height});
  }
  std::vector<unsigned char> picture(WindowHandle, int) override { return {}; }
  std::vector<unsigned char> shippedPicture(Image, int) override { return {}; }
  // As if each window there is held one, for its brushes and fonts.
  int gdiObjects(WindowHandle) override { return windowsKept(); }
  bool above(WindowHandle, int, int) override { return true; }  // the fake draws nothing over anything
  // The windows with anything but labels in them, as the Windows adapter makes them.
  bool themed(WindowHandle h, int) override {
    for (const ControlLayout& c : window(h).layout.controls)
      if (c.kind != ControlKind::Label) return true;
    return false;
  }
  WindowHandle ownerOf(WindowHandle h) override { return fake_.desktop.ownerOf(h); }
  bool programsIcon(IconHandle icon) override { return icon != 0; }
  std::vector<IconHandle> windowIcons(WindowHandle h) override {  // one picture for both sizes
    return {fake_.desktop.iconHandle(h), fake_.desktop.iconHandle(h)};
  }
  int windowsKept() override { return static_cast<int>(fake_.desktop.sinks().size()); }
  bool boxInFront() override {
    return fake_.desktop.messageBoxUp() && fake_.desktop.boxBroughtToFront > broughtBefore_;
  }
  void switchAway() override { fake_.desktop.switchAway(), broughtBefore_ = fake_.desktop.boxBroughtToFront; }
  std::string boxText() override { return fake_.desktop.messages.empty() ? "" : fake_.desktop.messages.back(); }

  // A control that keeps the pointer hears only its release; one that hands it on, and the
  // window itself, hear it at the place in the client area.
  void pointer(WindowHandle h, int id, Pointer phase, MouseButton button, int x, int y) override {
    WindowEvents* sink = window(h).sink;
    const bool forwards = id == 0 || control(h, id).layout.forwardsMouse;
    const Rect at = id ? controlPlace(h, id) : Rect{};
    x += at.left, y += at.top;
    fake_.enter(
        [=] {
          if (forwards && phase == Pointer::Down) sink->mouseDown(button, x, y);
          if (forwards && phase == Pointer::Move) sink->mouseMove(x, y);
          if (forwards && phase == Pointer::Up) sink->mouseUp(button, x, y);
          if (phase == Pointer::Up) sink->released(id, button);
        },
        phase == Pointer::Down ? UnderBox::BringsItUp : UnderBox::Dropped);
  }
  void click(WindowHandle h, int id) override {
    const ControlKind kind = control(h, id).layout.kind;
    if (!window(h).enabled) return fake_.enter([] {}, UnderBox::BringsItUp);  // the system tells only of the press
    if (kind != ControlKind::Button && kind != ControlKind::CheckBox) return;
    window(h).focus = id;  // pressed, it has it
    fake_.enter([sink = window(h).sink, id] { sink->controlClicked(id); }, UnderBox::BringsItUp);
  }
  void pick(WindowHandle h, int id, int entry) override { control(h, id).current = entry; }
  void press(WindowHandle h, const std::string& key) override {
    WindowEvents* sink = window(h).sink;
    for (const Menu& menu : window(h).layout.menuBar)
      for (const MenuEntry& entry : menu.entries)
        if (entry.visible && entry.shortcut == key) return fake_.enter([sink, id = entry.id] { sink->menuChosen(id); });
    if (key.compare(0, 2, "F1") == 0) fake_.enter([sink] { sink->helpKey(); });
    for (const Menu& menu : window(h).layout.menuBar)  // Alt and a menu's letter open that menu
      if (key.size() == 5 && key.compare(0, 4, "Alt+") == 0 &&
          menu.caption.find(std::string("&") + key[4]) != std::string::npos)
        fake_.enter([this, h, sink, menu] {
          if (const int id = fake_.desktop.popupMenu(h, menu)) sink->menuChosen(id);
        });
  }
  void close(WindowHandle h) override {
    fake_.enter([sink = window(h).sink] { sink->closeRequested(); });
  }
  void tell(WindowHandle h, SystemEvent event) override {
    WindowEvents* sink = window(h).sink;
    if (event == SystemEvent::TaskbarCreated) fake_.enter([sink] { sink->taskbarCreated(); }, UnderBox::Runs);
    if (event == SystemEvent::DisplayChanged) fake_.changeDesktop(fake_.desktop.screens);
    if (event == SystemEvent::SessionEnds) fake_.enter([sink] { sink->sessionEnding(); }, UnderBox::Runs);
    if (event == SystemEvent::DriveArrived || event == SystemEvent::DriveRemoved)
      fake_.enter([sink] { sink->drivesChanged(); });
  }
  void rescale(WindowHandle h, int dpi) override {
    fake_.enter([&] { fake_.desktop.rescale(h, dpi); }, UnderBox::Runs);
  }
  void inNextMenu(std::function<void()> look, char letter) override {
    fake_.desktop.onMenu.push_back([look = std::move(look), letter](const Menu& menu) {
      look();
      for (const MenuEntry& entry : menu.entries)
        if (letter && entry.visible && entry.caption.find(std::string("&") + letter) != std::string::npos)
          return entry.id;
      return 0;
    });
  }
  void inNextBox(std::function<void()> look) override { fake_.desktop.onMessageBox.push_back(std::move(look)); }
  void inNextModal(WindowHandle, std::function<void()> look) override {
    fake_.desktop.onModal.push_back([look = std::move(look)](const std::string&) { look(); });
  }

 private:
  // The window's twips as the desktop's: larger on a monitor of more DPI than the primary's.
  Rect scaled(WindowHandle h, Rect r) {
    const int by = window(h).dpi, primary = fake_.desktop.screens.front().dpi;
    return {r.left * by / primary, r.top * by / primary, r.width * by / primary, r.height * by / primary};
  }
  fake::FakeWindow& window(WindowHandle h) { return *fake_.desktop.byHandle(h); }
  fake::FakeControl& control(WindowHandle h, int id) { return window(h).controls.at(id); }
  fake::FakePlatform fake_;
  int broughtBefore_ = 0;
};

constexpr const char* kBrowser = "C:\\Browser\\browse.exe";

struct TrayListener final : WindowEvents {
  std::vector<unsigned> taken;
  void trayMessage(unsigned mouseMessage) override { taken.push_back(mouseMessage); }
};

class FakeShellWorld final : public ShellWorld {
 public:
  FakeShellWorld() {
    WindowLayout layout;
    layout.name = "trayw";
    layout.style = WindowStyle::Hidden;
    window_ = fake_.desktop.create(layout, listener_);
  }
  Shell& shell() override { return fake_.shell; }
  WindowHandle window() override { return window_; }
  IconHandle icon() override { return fake_.desktop.iconHandle(window_); }
  std::vector<std::string> tipsShown() override {
    if (!fake_.shell.iconPresent) return {};
    return {fake_.shell.tip()};
  }
  std::vector<unsigned> pointAt(const std::string& tip) override {
    listener_.taken.clear();
    if (fake_.shell.iconPresent && fake_.shell.tip() == tip) fake_.trayMouse(mouse_message::kMove);
    return listener_.taken;
  }
  std::string document(bool registered) override {
    fake_.shell.findResult = registered ? 42 : 31;  // SE_ERR_NOASSOC
    return registered ? "C:\\Temp\\\xd0\x96\xd1\x83\xd0\xba\\kv99-1.htm"
                      : "C:\\Temp\\\xd0\x96\xd1\x83\xd0\xba\\kv99-1.kvnone";
  }
  std::string browser() override { return kBrowser; }
  std::vector<std::string> browserStarts(std::size_t) override {
    std::vector<std::string> parameters;
    const std::string program = std::string(kBrowser) + " ";
    for (const std::string& line : fake_.shell.started)
      if (line.compare(0, program.size(), program) == 0) parameters.push_back(line.substr(program.size()));
    return parameters;
  }

 private:
  fake::FakePlatform fake_;
  TrayListener listener_;
  WindowHandle window_ = 0;
};

class FakeHelpWorld final : public HelpWorld {
 public:
  HelpViewer& help() override { return help_; }
  bool systemHasHelpViewer() override { return help_.viewerInstalled; }
  std::string missingFile() override { return "C:\\Temp\\gone.hlp"; }
  void closeViewerMessages() override {}

 private:
  fake::FakeHelp help_;
};

class FakeDisksWorld final : public DisksWorld {
 public:
  FakeDisksWorld() { fake_.disks.answers["c:\\"] = DiskCounters{8, 512, 1200, 90000}; }
  Disks& disks() override { return fake_.disks; }
  bool runEventsUntil(const std::function<bool()>& done) override {
    fake_.idle();
    return done();
  }
  std::vector<char> letters() override { return {'c', 'd', 'z'}; }
  double busyWhileTakingEvents(unsigned) override {
    fake_.idle();
    return 0;  // no thread of its own
  }
  std::string label(const std::string& root) override {
    return fake_.disks.labels.count(root) ? fake_.disks.labels[root] : "";
  }

 private:
  fake::FakePlatform fake_;
};

}  // namespace

std::unique_ptr<World> makeWorld() {
  return std::make_unique<FakeWorld>();
}

std::unique_ptr<DesktopWorld> makeDesktopWorld() {
  return std::make_unique<FakeDesktopWorld>();
}

std::unique_ptr<ShellWorld> makeShellWorld() {
  return std::make_unique<FakeShellWorld>();
}
std::unique_ptr<HelpWorld> makeHelpWorld() {
  return std::make_unique<FakeHelpWorld>();
}
std::unique_ptr<DisksWorld> makeDisksWorld() {
  return std::make_unique<FakeDisksWorld>();
}

}  // namespace kv::contract
