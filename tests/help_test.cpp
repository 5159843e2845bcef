// Help: every way the user asks for it, and what reaches the help viewer (file, command, topic).
#include "app_fixture.h"

namespace kv {
namespace {

using Log = std::vector<std::string>;

constexpr unsigned kTrayRightDown = 0x204;
const std::string kHelp = kFolder + "\\kestrovan99.hlp";    // the components' full path
const std::string kF1Help = kFolder + "\\KESTROVAN99.HLP";  // the program-wide name for F1

std::string request(const std::string& file, unsigned long topic) {
  return file + " command 1 topic " + std::to_string(topic);
}

class HelpTest : public AppTest {
 protected:
  void TearDown() override {
    EXPECT_FALSE(fake.ended());
    EXPECT_TRUE(fake.desktop.messages.empty());
  }

  Log requestsSince(std::size_t from) {
    Log out;
    for (std::size_t i = from; i < fake.help.requests.size(); ++i) {
      const auto& r = fake.help.requests[i];
      out.push_back(r.file + " command " + std::to_string(r.command) + " topic " + std::to_string(r.topic));
    }
    return out;
  }

  void trayChoice(int entry) {
    whenMenu(entry);
    enter([&] { fake.desktop.sink("tbarw").trayMessage(kTrayRightDown); });
  }
  void popupChoice(int entry) {
    whenMenu(entry);
    enter([&] { fake.desktop.sink("smallwindow").mouseDown(MouseButton::Right, 200, 100); });
    enter([&] { fake.desktop.sink("smallwindow").mouseUp(MouseButton::Right, 200, 100); });
  }
  void f1(const char* window) {
    enter([&] { fake.desktop.sink(window).helpKey(); });
  }

  // A first run, then every help request a user can make; each step must make exactly the
  // requests listed with it.
  void tour() {
    struct Step {
      const char* what;
      std::function<void()> act;
      Log expected;
    };
    const std::vector<Step> steps = {
        {"first run: the set-up's topic, then F1 and \"&Help\" in the set-up window",
         [&] {
           whenModal([&](WindowHandle) {
             auto& options = fake.desktop.sink("optionswindow");
             options.helpKey();
             options.menuChosen(OptionsWindow::helmen);
             options.controlClicked(OptionsWindow::Command1);
           });
           start();
         },
         {request(kHelp, 30000), request(kF1Help, 200), request(kHelp, 200)}},
        {"tray menu \"&Help\"", [&] { trayChoice(TrayWindow::helpmen1); }, {request(kHelp, 400)}},
        {"drive window popup \"&Help\"", [&] { popupChoice(TrayWindow::helpmen2); }, {request(kHelp, 100)}},
        {"F1 in the drive window", [&] { f1("smallwindow"); }, {request(kF1Help, 100)}},
        {"F1 in the tray window", [&] { f1("tbarw"); }, {request(kF1Help, 100)}},
        {"options from the tray: \"&Help\" and F1",
         [&] {
           trayChoice(TrayWindow::optionmenu);
           enter([&] { fake.desktop.sink("optionswindow").menuChosen(OptionsWindow::helmen); });
           f1("optionswindow");
           enter([&] { fake.desktop.sink("optionswindow").controlClicked(OptionsWindow::Command2); });
         },
         {request(kHelp, 200), request(kF1Help, 200)}},
        {"options from the popup, modal: \"&Help\"",
         [&] {
           whenModal([&](WindowHandle) {
             fake.desktop.sink("optionswindow").menuChosen(OptionsWindow::helmen);
             fake.desktop.sink("optionswindow").controlClicked(OptionsWindow::Command1);
           });
           popupChoice(TrayWindow::optmenu);
         },
         {request(kHelp, 200)}},
        {"F1 in the about window from the tray",
         [&] {
           trayChoice(TrayWindow::aboutmenu);
           f1("aboutwindow");
           enter([&] { fake.desktop.sink("aboutwindow").released(0, MouseButton::Left); });
         },
         {request(kF1Help, 300)}},
        {"F1 in the about window from the popup, modal",
         [&] {
           whenModal([&](WindowHandle) {
             fake.desktop.sink("aboutwindow").helpKey();
             fake.desktop.sink("aboutwindow").released(0, MouseButton::Left);
           });
           popupChoice(TrayWindow::aboutmen);
         },
         {request(kF1Help, 300)}},
        {"tray menu \"&Help\" again, after the windows came and went",
         [&] { trayChoice(TrayWindow::helpmen1); },
         {request(kHelp, 400)}},
    };
    for (const Step& step : steps) {
      SCOPED_TRACE(step.what);
      std::size_t from = fake.help.requests.size();
      step.act();
      EXPECT_EQ(requestsSince(from), step.expected);
      ASSERT_FALSE(fake.ended());
    }
    EXPECT_EQ(fake.desktop.modalDepth, 0);
  }
};

TEST_F(HelpTest, EveryRequestNamesTheFileTheCommandAndTheTopic) {
  fake.files.entries[kHelp] = {std::string("\x3f\x5f\x03\x00", 4)};
  tour();
  EXPECT_EQ(fake.files.entries.count(kHelp), 1u);
}

TEST_F(HelpTest, WithTheHelpFileMissingEveryRequestStillGoesOut) {
  ASSERT_EQ(fake.files.entries.count(kHelp), 0u);
  tour();
  // The program never looks for the file itself: the viewer reports what is missing.
  EXPECT_EQ(fake.logOf({"exists " + kHelp, "read " + kHelp, "exists " + kF1Help, "read " + kF1Help}), Log{});
}

TEST_F(HelpTest, PathsFollowTheProgramsFolder) {
  const std::string folder = "D:\\Tools\\Kestrovan 99";
  fake.process.folder = folder;
  fake.files.entries[folder + "\\kv99.cfg"] = {configWith({"c:\\", "", "", "", "", ""}, 0, 0)};
  start();
  trayChoice(TrayWindow::helpmen1);
  f1("smallwindow");
  EXPECT_EQ(requestsSince(0),
            (Log{request(folder + "\\kestrovan99.hlp", 400), request(folder + "\\KESTROVAN99.HLP", 100)}));
}

}  // namespace
}  // namespace kv
