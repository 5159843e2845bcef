// What the program relies on the shell port to do (the tray icon, finding and starting the web
// browser), stated once for every implementation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "contract/worlds.h"
#include "platform/window_events.h"

namespace kv::contract {
namespace {

using Tips = std::vector<std::string>;

class ShellContract : public ::testing::Test {
 protected:
  ~ShellContract() override { shell.notifyIcon(TrayCommand::Delete, record("")); }
  TrayRecord record(const std::string& tip, unsigned fields = kTrayCallback | kTrayIcon | kTrayTip, unsigned id = 1) {
    TrayRecord r;
    r.hWnd = world->window(), r.uID = id, r.uFlags = fields;
    r.uCallbackMessage = mouse_message::kMove, r.hIcon = world->icon();
    std::copy_n(tip.begin(), std::min(tip.size(), r.szTip.size() - 1), r.szTip.begin());
    return r;
  }
  std::unique_ptr<ShellWorld> world = makeShellWorld();
  Shell& shell = world->shell();
};

TEST_F(ShellContract, TheIconShowsItsTipUntilDeletedAndUnflaggedFieldsStayAsTheyWere) {
  const std::string whole(63, 'w');
  const struct {
    TrayCommand command;
    std::string tip;
    unsigned fields;
    bool taken;
    Tips shown;
  } steps[] = {
      {TrayCommand::Add, "c:12MB d:3MB", kTrayCallback | kTrayIcon | kTrayTip, true, {"c:12MB d:3MB"}},
      {TrayCommand::Modify, whole, kTrayCallback | kTrayIcon | kTrayTip, true, {whole}},
      {TrayCommand::Modify, "not flagged", kTrayCallback | kTrayIcon, true, {whole}},
      {TrayCommand::Modify, "c:1MB", kTrayTip, true, {"c:1MB"}},
      {TrayCommand::Add, "added twice", kTrayCallback | kTrayIcon | kTrayTip, false, {"c:1MB"}},
      {TrayCommand::Delete, "", 0, true, {}},
      {TrayCommand::Modify, "gone", kTrayCallback | kTrayIcon | kTrayTip, false, {}},
      {TrayCommand::Delete, "", 0, false, {}},
  };
  for (const auto& step : steps) {
    EXPECT_EQ(shell.notifyIcon(step.command, record(step.tip, step.fields)), step.taken) << step.tip;
    EXPECT_EQ(world->tipsShown(), step.shown) << static_cast<int>(step.command) << " " << step.tip;
  }
}

TEST_F(ShellContract, AnIconTheShellDoesNotHaveIsNeitherModifiedNorDeleted) {
  shell.notifyIcon(TrayCommand::Add, record("mine"));
  EXPECT_FALSE(shell.notifyIcon(TrayCommand::Modify, record("another", kTrayTip, 2)));
  EXPECT_FALSE(shell.notifyIcon(TrayCommand::Delete, record("", 0, 2)));
  EXPECT_EQ(world->tipsShown(), Tips{"mine"});
}

TEST_F(ShellContract, TheMouseOverTheIconComesToTheWindowAsTheCallbackTheRecordNamed) {
  shell.notifyIcon(TrayCommand::Add, record("point here"));
  const std::vector<unsigned> taken = world->pointAt("point here");
  EXPECT_NE(std::find(taken.begin(), taken.end(), mouse_message::kMove), taken.end()) << taken.size();
  shell.notifyIcon(TrayCommand::Delete, record(""));
  EXPECT_EQ(world->pointAt("point here"), std::vector<unsigned>{}) << "a deleted icon still calls back";
}

TEST_F(ShellContract, TheBrowserRegisteredForWebPagesIsFoundAndStartedWithTheAddress) {
  std::string program;
  const int found = shell.findExecutable(world->document(true), program);
  ASSERT_TRUE(shellSucceeded(found)) << found << " " << program;
  // Blanks around it are the program's to trim.
  program.erase(0, program.find_first_not_of(' '));
  program.erase(program.find_last_not_of(' ') + 1);
  const auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  EXPECT_EQ(lower(program), lower(world->browser()));
  const std::string addresses[] = {"file:///C:/Kestrovan/kv%20help.htm#topic-3", "https://example.com/kv99?a=1&b=2"};
  std::vector<std::string> started;
  for (const std::string& address : addresses) {
    EXPECT_TRUE(shellSucceeded(shell.execute(0, program, address))) << address;
    started.push_back(address);
    EXPECT_EQ(world->browserStarts(started.size()), started);
  }
}

TEST_F(ShellContract, ADocumentWithoutARegisteredProgramAnswersAnError) {
  std::string program;
  const int answer = shell.findExecutable(world->document(false), program);
  EXPECT_TRUE(answer > 0 && !shellSucceeded(answer)) << answer;
}

}  // namespace
}  // namespace kv::contract
