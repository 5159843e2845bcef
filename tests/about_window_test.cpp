// The about window: its text, what a click on it does, the drive window's place in the
// topmost order around it, and the web page launcher behind its address label.
#include <cctype>
#include <map>
#include <stdexcept>

#include "app_fixture.h"

namespace kv {
namespace {

using Log = std::vector<std::string>;

constexpr unsigned kTrayRightDown = 0x204;
const std::string kAboutText =
    std::string("Kestrovan '99, Version: 1.4\r\n\r\n") + AboutWindow::kMakerLine +
    "\r\n\r\nKestrovan '99 is a simple utility to tell you how much space is remaining on up to 6 drives."
    "\r\n\r\nPress F1 for help on any window.";

class AboutWindowTest : public AppTest {
 protected:
  void TearDown() override {
    EXPECT_FALSE(fake.ended()) << "the program ended"
                               << (fake.desktop.messages.empty() ? "" : ": " + fake.desktop.messages.back().first);
  }

  void startNormally() {
    writeConfig(configWith({"c:\\", "", "", "", "", ""}, 1500, 900));
    start();
  }
  void trayChoice(int entry) {
    whenMenu(entry);
    enter([&] { fake.desktop.sink("tbarw").trayMessage(kTrayRightDown); });
  }
  void openFromTray() { trayChoice(TrayWindow::aboutmenu); }
  void clickDriveWindow(MouseButton button) {
    enter([&] { fake.desktop.sink("smallwindow").mouseDown(button, 300, 150); });
    enter([&] { fake.desktop.sink("smallwindow").mouseUp(button, 300, 150); });
  }
  void popupChoice(int entry) {
    whenMenu(entry);
    clickDriveWindow(MouseButton::Right);
  }
  void release(int id, MouseButton button = MouseButton::Left) {
    enter([&] { fake.desktop.sink("aboutwindow").released(id, button); });
  }
  bool aboutOpen() { return fake.desktop.exists("aboutwindow"); }
  std::string shownText() { return fake.desktop.window("aboutwindow").controls.at(AboutWindow::Text1).text; }
};

TEST_F(AboutWindowTest, TextIsFourParagraphsExactly) {
  startNormally();
  openFromTray();
  EXPECT_EQ(shownText(), kAboutText);
  // The maker line is one line of its own between the version and the description.
  std::string maker = AboutWindow::kMakerLine;
  EXPECT_FALSE(maker.empty());
  EXPECT_EQ(maker.find_first_of("\r\n"), std::string::npos);
  EXPECT_EQ(maker.find_first_not_of(' '), 0u);
}

TEST_F(AboutWindowTest, TextIsBuiltAnewOnEveryLoadFromTheVersion) {
  startNormally();
  openFromTray();
  release(AboutWindow::Label1);
  ASSERT_FALSE(aboutOpen());
  app.settings.version = "2.10";
  openFromTray();
  std::string expected = kAboutText;
  expected.replace(expected.find("1.4"), 3, "2.10");
  EXPECT_EQ(shownText(), expected);
}

TEST_F(AboutWindowTest, OpeningTakesTheDriveWindowOffTop) {
  startNormally();
  std::size_t mark = events().size();
  openFromTray();
  EXPECT_EQ(eventsSince(mark), (Log{"notify modify c:1856MB", "popup tsmenu on tbarw", "create aboutwindow",
                                    "topmost smallwindow off", "show aboutwindow"}));
  EXPECT_FALSE(drive().topmost);
  EXPECT_TRUE(fake.desktop.window("aboutwindow").visible);
}

TEST_F(AboutWindowTest, ReleasingAnyButtonAnywhereButTheAddressCloses) {
  startNormally();
  const std::vector<std::pair<int, const char*>> places = {{AboutWindow::Picture1, "picture"},
                                                           {AboutWindow::Text1, "text"},
                                                           {AboutWindow::Label1, "hint"},
                                                           {0, "background"}};
  for (const auto& [id, place] : places)
    for (MouseButton button : {MouseButton::Left, MouseButton::Right, MouseButton::Middle}) {
      SCOPED_TRACE(std::string(place) + " button " + std::to_string(static_cast<int>(button)));
      openFromTray();
      ASSERT_TRUE(aboutOpen());
      std::size_t mark = events().size();
      release(id, button);
      // endab puts the drive window on top, and so does the unload it causes.
      EXPECT_EQ(eventsSince(mark), (Log{"topmost smallwindow on", "topmost smallwindow on", "destroy aboutwindow"}));
      EXPECT_FALSE(aboutOpen());
      EXPECT_TRUE(drive().topmost);
    }
  EXPECT_TRUE(fake.shell.documentsLookedUp.empty());
  EXPECT_TRUE(fake.shell.started.empty());
}

TEST_F(AboutWindowTest, ReleasingOverTheAddressOpensThePageAndStaysOpen) {
  startNormally();
  openFromTray();
  std::string host = fake.desktop.window("aboutwindow").controls.at(AboutWindow::Label2).text;
  std::size_t mark = events().size();
  for (MouseButton button : {MouseButton::Left, MouseButton::Right, MouseButton::Middle})
    release(AboutWindow::Label2, button);
  ASSERT_EQ(fake.shell.started.size(), 3u);
  for (const std::string& line : fake.shell.started)
    EXPECT_EQ(line, "C:\\Browser\\browse.exe " + std::string(AboutWindow::kWebAddress));
  // The address is the host that the label shows, at its root path.
  std::string address = AboutWindow::kWebAddress;
  EXPECT_FALSE(host.empty());
  EXPECT_EQ(address.substr(address.size() - host.size() - 3), "//" + host + "/");
  EXPECT_EQ(eventsSince(mark), Log{});  // no message, nothing closed, no change of order
  EXPECT_TRUE(aboutOpen());
  EXPECT_TRUE(fake.desktop.window("aboutwindow").visible);
  EXPECT_FALSE(drive().topmost);
}

TEST_F(AboutWindowTest, TheCloseBoxPutsTheDriveWindowBackOnTop) {
  startNormally();
  openFromTray();
  std::size_t mark = events().size();
  enter([&] { fake.desktop.sink("aboutwindow").closeRequested(); });
  EXPECT_EQ(eventsSince(mark), (Log{"topmost smallwindow on", "destroy aboutwindow"}));
  EXPECT_TRUE(drive().topmost);
}

TEST_F(AboutWindowTest, WithTheDriveWindowClosedClosingLeavesTheTopmostOrderAlone) {
  startNormally();
  const std::vector<std::pair<const char*, std::function<void()>>> closes = {
      {"click", [&] { release(AboutWindow::Text1); }},
      {"close box", [&] { enter([&] { fake.desktop.sink("aboutwindow").closeRequested(); }); }},
  };
  for (const auto& [name, close] : closes) {
    SCOPED_TRACE(name);
    trayChoice(TrayWindow::showmenu);
    openFromTray();
    clickDriveWindow(MouseButton::Left);  // a plain click closes the drive window
    ASSERT_FALSE(fake.desktop.exists("smallwindow"));
    ASSERT_TRUE(aboutOpen());
    std::size_t mark = events().size();
    close();
    EXPECT_EQ(eventsSince(mark), Log{"destroy aboutwindow"});
    EXPECT_FALSE(fake.desktop.exists("smallwindow"));
  }
}

TEST_F(AboutWindowTest, HideUnloadsItWithoutTouchingTheTopmostOrder) {
  startNormally();
  openFromTray();
  std::size_t mark = events().size();
  popupChoice(TrayWindow::hidemen);
  EXPECT_EQ(eventsSince(mark),
            (Log{"popup smallpopup on smallwindow", "write " + kConfig, "destroy aboutwindow", "destroy smallwindow"}));
}

TEST_F(AboutWindowTest, FromTheTrayAfterHideTheDriveWindowIsLoadedHiddenAndStaysHidden) {
  startNormally();
  popupChoice(TrayWindow::hidemen);
  ASSERT_FALSE(fake.desktop.exists("smallwindow"));
  std::size_t mark = events().size();
  openFromTray();
  EXPECT_EQ(eventsSince(mark),
            (Log{"notify modify c:1856MB", "popup tsmenu on tbarw", "create aboutwindow", "create smallwindow",
                 "topmost smallwindow on", "topmost smallwindow off", "show aboutwindow"}));
  EXPECT_TRUE(app.settings.smlshown);  // set by the drive window's load
  EXPECT_EQ(shownText(), kAboutText);
  mark = events().size();
  release(AboutWindow::Picture1);
  EXPECT_EQ(eventsSince(mark), (Log{"topmost smallwindow on", "topmost smallwindow on", "destroy aboutwindow"}));
  EXPECT_FALSE(drive().visible);
  EXPECT_TRUE(drive().topmost);
}

TEST_F(AboutWindowTest, FromThePopupItIsModalAndTheMenuHandlerWaitsForIt) {
  startNormally();
  bool sawIt = false;
  whenModal([&](WindowHandle) {
    sawIt = true;
    EXPECT_TRUE(fake.desktop.window("aboutwindow").visible);
    EXPECT_EQ(shownText(), kAboutText);
    EXPECT_FALSE(drive().enabled);
    EXPECT_TRUE(app.smallwindow.press().gflag);  // the popup's release handler has not resumed
    auto& about = fake.desktop.sink("aboutwindow");
    about.released(AboutWindow::Label2, MouseButton::Left);  // the page opens, the window stays
    EXPECT_TRUE(fake.desktop.exists("aboutwindow"));
    EXPECT_TRUE(app.smallwindow.press().gflag);
    about.released(AboutWindow::Label1, MouseButton::Left);
  });
  std::size_t mark = events().size();
  popupChoice(TrayWindow::aboutmen);
  ASSERT_TRUE(sawIt);
  EXPECT_EQ(eventsSince(mark), (Log{"popup smallpopup on smallwindow", "create aboutwindow", "topmost smallwindow off",
                                    "modal aboutwindow owner smallwindow", "topmost smallwindow on",
                                    "topmost smallwindow on", "destroy aboutwindow"}));
  EXPECT_EQ(fake.shell.started.size(), 1u);
  EXPECT_FALSE(app.smallwindow.press().gflag);  // resumed after the window closed
  EXPECT_TRUE(drive().enabled);
  EXPECT_TRUE(drive().topmost);
  EXPECT_EQ(fake.desktop.modalDepth, 0);
}

TEST_F(AboutWindowTest, LooksAsDescribed) {
  startNormally();
  openFromTray();
  const WindowLayout& w = fake.desktop.window("aboutwindow").layout;
  EXPECT_EQ(w.caption, "About");
  EXPECT_EQ(w.clientWidth, 4680);
  EXPECT_EQ(w.clientHeight, 3135);
  EXPECT_EQ(w.helpTopic, 300);
  EXPECT_EQ((std::array<int, 3>{w.back.r, w.back.g, w.back.b}), (std::array<int, 3>{0, 0, 0}));
  auto find = [&](int id) -> const ControlLayout& {
    for (const auto& c : w.controls)
      if (c.id == id) return c;
    throw std::logic_error("no control " + std::to_string(id));
  };
  auto rect = [](const ControlLayout& c) {
    return std::array<int, 4>{c.rect.left, c.rect.top, c.rect.width, c.rect.height};
  };
  auto colour = [](Colour k) { return std::array<int, 3>{k.r, k.g, k.b}; };
  const ControlLayout& picture = find(AboutWindow::Picture1);
  const ControlLayout& text = find(AboutWindow::Text1);
  const ControlLayout& address = find(AboutWindow::Label2);
  const ControlLayout& hint = find(AboutWindow::Label1);
  EXPECT_EQ(picture.kind, ControlKind::Picture);
  EXPECT_EQ(rect(picture), (std::array<int, 4>{135, 90, 4395, 780}));
  EXPECT_EQ(text.kind, ControlKind::TextBox);
  EXPECT_EQ(rect(text), (std::array<int, 4>{210, 975, 4290, 1485}));
  EXPECT_EQ(colour(text.back), (std::array<int, 3>{64, 64, 64}));
  EXPECT_EQ(colour(text.fore), (std::array<int, 3>{192, 192, 192}));
  EXPECT_EQ(address.kind, ControlKind::Label);
  EXPECT_EQ(rect(address), (std::array<int, 4>{1560, 2565, 1485, 195}));
  EXPECT_EQ(colour(address.fore), (std::array<int, 3>{98, 67, 243}));
  EXPECT_EQ(colour(address.back), (std::array<int, 3>{0, 0, 0}));
  EXPECT_EQ(address.font.face, "MS Sans Serif");
  EXPECT_DOUBLE_EQ(address.font.points, 8.25);
  EXPECT_EQ(hint.kind, ControlKind::Label);
  EXPECT_EQ(hint.text, "Click anywhere in this window to close.");
  EXPECT_EQ(rect(hint), (std::array<int, 4>{705, 2850, 3390, 240}));
  EXPECT_EQ(colour(hint.fore), (std::array<int, 3>{224, 224, 224}));
  EXPECT_EQ(colour(hint.back), (std::array<int, 3>{0, 0, 0}));
  EXPECT_EQ(hint.font.face, "MS Sans Serif");
  EXPECT_DOUBLE_EQ(hint.font.points, 9.75);
}

// ---- The web page launcher -----------------------------------------------------------------

class WebPageTest : public AboutWindowTest {
 protected:
  // A page of the user's that happens to carry the old throw-away name, in the working folder
  // and beside the program.
  const std::string kUsersPage = "<html>my own notes</html>\r\n";

  void SetUp() override {
    startNormally();
    openFromTray();
    fake.files.entries["temp.HTM"] = {kUsersPage};
    fake.files.entries[kFolder + "\\temp.HTM"] = {kUsersPage};
    fake.files.entries[kFolder + "\\temp.htm"] = {kUsersPage};
    before_ = files();
    writesBefore_ = fake.files.writes;
    fake.desktop.messages.clear();
    mark_ = fake.log.size();
  }

  void clickAddress() { release(AboutWindow::Label2); }

  // What the launch asked of the files, the shell and the desktop, in order.
  Log launch() {
    Log out;
    for (std::size_t i = mark_; i < fake.log.size(); ++i)
      for (const char* p : {"temp", "find", "execute", "message", "remove", "write", "read", "exists", "destroy"})
        if (fake.log[i].rfind(p, 0) == 0) {
          out.push_back(fake.log[i]);
          break;
        }
    return out;
  }
  std::string page() {
    EXPECT_EQ(fake.shell.documentsLookedUp.size(), 1u);
    return fake.shell.documentsLookedUp.empty() ? std::string("(none)") : fake.shell.documentsLookedUp.back();
  }
  std::map<std::string, std::string> files() {
    std::map<std::string, std::string> out;
    for (const auto& [path, e] : fake.files.entries)
      out[path] = e.bytes + (e.hidden ? "|h" : "") + (e.system ? "|s" : "") + (e.folder ? "|f" : "") +
                  (e.unreadable ? "|u" : "");
    return out;
  }
  void expectNoFileLeftOrHarmed() {
    EXPECT_EQ(files(), before_);
    EXPECT_EQ(fake.files.writes, writesBefore_);
    EXPECT_TRUE(aboutOpen());
  }

  std::map<std::string, std::string> before_;
  int writesBefore_ = 0;
  std::size_t mark_ = 0;
};

const std::string kNoBrowser = "Error: No web browser found.";
const std::string kCannotOpen = "Error: Could not open web page.";

TEST_F(WebPageTest, LookupFailureSaysNoBrowserOnceAndStartsNothing) {
  for (int result : {32, 31, 2, 0, -1}) {
    SCOPED_TRACE(result);
    fake.shell.findResult = result;
    fake.shell.documentsLookedUp.clear();
    fake.desktop.messages.clear();
    mark_ = fake.log.size();
    clickAddress();
    std::string p = page();
    EXPECT_EQ(launch(), (Log{"temp " + p, "find " + p, "message " + kNoBrowser, "remove " + p}));
    ASSERT_EQ(fake.desktop.messages.size(), 1u);
    EXPECT_EQ(fake.desktop.messages[0].first, kNoBrowser);
    EXPECT_EQ(fake.desktop.messages[0].second, "Kestrovan '99");
    EXPECT_TRUE(fake.shell.started.empty());
    expectNoFileLeftOrHarmed();
  }
}

TEST_F(WebPageTest, StartFailureSaysItCouldNotOpenThePage) {
  for (int result : {32, 5, 0, -1}) {
    SCOPED_TRACE(result);
    fake.shell.executeResult = result;
    fake.shell.documentsLookedUp.clear();
    fake.desktop.messages.clear();
    mark_ = fake.log.size();
    clickAddress();
    std::string p = page();
    EXPECT_EQ(launch(),
              (Log{"temp " + p, "find " + p, "execute C:\\Browser\\browse.exe " + std::string(AboutWindow::kWebAddress),
                   "message " + kCannotOpen, "remove " + p}));
    ASSERT_EQ(fake.desktop.messages.size(), 1u);
    EXPECT_EQ(fake.desktop.messages[0].first, kCannotOpen);
    EXPECT_EQ(fake.desktop.messages[0].second, "Kestrovan '99");
    expectNoFileLeftOrHarmed();
  }
}

TEST_F(WebPageTest, SuccessStartsTheFoundBrowserTrimmedWithTheAddress) {
  fake.shell.findResult = 33;
  fake.shell.executeResult = 33;
  fake.shell.browser = "C:\\Program Files\\Web Browser\\browse.exe";  // the shell's answer comes padded
  clickAddress();
  std::string p = page();
  std::string started = "C:\\Program Files\\Web Browser\\browse.exe " + std::string(AboutWindow::kWebAddress);
  EXPECT_EQ(launch(), (Log{"temp " + p, "find " + p, "execute " + started, "remove " + p}));
  EXPECT_EQ(fake.shell.started, Log{started});
  EXPECT_TRUE(fake.desktop.messages.empty());
  expectNoFileLeftOrHarmed();
}

TEST_F(WebPageTest, EachLaunchLooksUpAFreshFiveByteHtmlFile) {
  std::vector<std::string> seen;
  fake.shell.duringLookup = [&](const std::string& document) {
    auto it = fake.files.entries.find(document);
    seen.push_back(it == fake.files.entries.end() ? std::string("(missing)") : it->second.bytes);
  };
  clickAddress();
  fake.shell.findResult = 0;
  clickAddress();
  const std::string line("\x22\x20\x22\x0D\x0A", 5);
  EXPECT_EQ(seen, (Log{line, line}));
  ASSERT_EQ(fake.shell.documentsLookedUp.size(), 2u);
  const std::string& first = fake.shell.documentsLookedUp[0];
  const std::string& second = fake.shell.documentsLookedUp[1];
  EXPECT_NE(first, second);
  for (const std::string& document : {first, second}) {
    std::string end = document.size() >= 4 ? document.substr(document.size() - 4) : document;
    for (char& c : end) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(end, ".htm") << document;
    EXPECT_NE(document, "temp.HTM");
    EXPECT_EQ(before_.count(document), 0u) << document << " belonged to someone else";
  }
  expectNoFileLeftOrHarmed();
}

TEST_F(WebPageTest, ATemporaryFileThatCannotBeMadeCountsAsNoBrowser) {
  fake.files.temporaryFails = true;
  clickAddress();
  EXPECT_EQ(launch(), (Log{"message " + kNoBrowser}));
  EXPECT_TRUE(fake.shell.documentsLookedUp.empty());
  ASSERT_EQ(fake.desktop.messages.size(), 1u);
  EXPECT_EQ(fake.desktop.messages[0].second, "Kestrovan '99");
  expectNoFileLeftOrHarmed();
}

}  // namespace
}  // namespace kv
