// Help where the system has no viewer for help files: the HTML page at the topic, in the browser.
#include "app/help_request.h"
#include "app_fixture.h"

namespace kv {
namespace {

TEST(HelpPageAddress, IsTheFileAddressOfThePageBesideTheHelpFile) {
  const std::vector<std::array<std::string, 2>> rows = {
      {"D:\\Programs\\Kestrovan\\kestrovan99.hlp", "file:///D:/Programs/Kestrovan/kestrovan99.htm#topic-100"},
      {"C:\\Program Files\\kestrovan99.hlp", "file:///C:/Program%20Files/kestrovan99.htm#topic-100"},
      {"C:\\Kestr\xC3\xB6v\xC3\xA4n\\kestrovan99.hlp", "file:///C:/Kestr%C3%B6v%C3%A4n/kestrovan99.htm#topic-100"},
      {"C:\\\\KESTROVAN99.HLP", "file:///C:/KESTROVAN99.htm#topic-100"},  // joined to the drive's root
      {"C:\\A&B #1\\v1.04\\kv", "file:///C:/A%26B%20%231/v1.04/kv.htm#topic-100"},
      {"\\\\server\\share\\kestrovan99.hlp", "file://///server/share/kestrovan99.htm#topic-100"},
  };
  for (const auto& [file, address] : rows) EXPECT_EQ(helpPageAddress(file, 100), address) << file;
}

TEST_F(AppTest, WithoutAHelpViewerTheFirstRunAndF1OpenThePageInTheBrowser) {
  fake.help.viewerInstalled = false;
  bool driveWindowShown = false;
  fake.shell.duringLookup = [&](const std::string&) { driveWindowShown = shown("smallwindow"); };
  std::size_t startedBeforeOptions = 0;
  whenModal([&] { startedBeforeOptions = fake.shell.started.size(); });
  start(std::nullopt);
  enter([&] { fake.desktop.sink("smallwindow").helpKey(); });
  const std::string page = "C:\\Browser\\browse.exe file:///D:/Programs/Kestrovan/";
  EXPECT_EQ(fake.shell.started,
            (std::vector<std::string>{page + "kestrovan99.htm#topic-30000", page + "KESTROVAN99.htm#topic-100"}));
  EXPECT_TRUE(driveWindowShown);
  EXPECT_EQ(startedBeforeOptions, 1u);
  EXPECT_TRUE(fake.help.requests.empty());
}

}  // namespace
}  // namespace kv
