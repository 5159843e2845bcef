// The shell's, the help viewer's and the drives' contracts on the fake platform.
#include "contract/ports_world.h"
#include "fake/fake_platform.h"

namespace kv::contract {
namespace {

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
    return registered ? "C:\\Temp\\kv99-1.htm" : "C:\\Temp\\kv99-1.kvnone";
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
  std::string label(const std::string& root) override {
    return fake_.disks.labels.count(root) ? fake_.disks.labels[root] : "";
  }

 private:
  fake::FakePlatform fake_;
};

}  // namespace

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
