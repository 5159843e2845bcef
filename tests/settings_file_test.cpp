// The settings file: how it is read and written, what a bad file leads to, and saves that fail.
#include "app/config_file.h"
#include "app_fixture.h"

namespace kv {
namespace {

// What a read got: the slots joined by |, then the position, or where the read stopped.
std::string readOf(const std::string& bytes) {
  ConfigRead r = parseConfig(bytes);
  std::string out;
  for (int i = 0; i < r.slotsRead; ++i) out += (i ? "|" : "") + r.drives[i];
  if (!r.complete()) return out + " (stops after " + std::to_string(r.slotsRead) + (r.left ? " and left)" : ")");
  return out + " @ " + std::to_string(*r.left) + "," + std::to_string(*r.top);
}

TEST(SettingsFile, ReadingRules) {
  const std::pair<std::string, std::string> rows[] = {
      {"\"c:\\\"\r\n\"\"\r\n\"d:\\\"\r\n\"\"\r\n\"\"\r\n\"z:\\\"\r\n1200\r\n-345\r\n", "c:\\||d:\\|||z:\\ @ 1200,-345"},
      {"\"a\"\n\"b\"\n\"c\"\n\"d\"\n\"e\"\n\"f\"\n1\n2", "a|b|c|d|e|f @ 1,2"},
      {"\" a,b \"\r\n   d:\r\nx,y\r\n\"q\" junk\r\n\r\n5,  7\r\nmore", " a,b |d:|x|y|q| @ 5,7"},
      {"\"c:\\\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"d:\\\"\r\n", "c:\\|||||d:\\ (stops after 6)"},
      {"\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n15\r\nnorth\r\n", "||||| (stops after 6 and left)"},
      {"\"never closed\r\nstill in it", "never closed\r\nstill in it (stops after 1)"},
      {"", " (stops after 0)"},
  };
  for (const auto& [bytes, read] : rows) EXPECT_EQ(readOf(bytes), read) << bytes;
}

TEST(SettingsFile, PositionsAreThirtyTwoBitNumbersWithTiesRoundedToEven) {
  // clang-format off
  const std::pair<const char*, long long> numbers[] = {
      {"32767", 32767}, {"-32768", -32768}, {"0000000000012", 12}, {"  +44  ", 44}, {"1.5", 2},     {"2.5", 2},
      {"3.5", 4},       {"-2.5", -2},       {"-3.5", -4},          {"2.50001", 3},  {"2.49999", 2}, {".7", 1},
      {"7.", 7},        {"40000", 40000},   {"-40000", -40000},    {"2147483647", 2147483647},
      {"-2147483648", -2147483648},         {"2147483646.5", 2147483646}};
  // clang-format on
  for (auto [text, value] : numbers) EXPECT_EQ(parsePosition(text), static_cast<std::int32_t>(value)) << text;
  for (const char* text : {"2147483648", "-2147483649", "2147483647.5", "abc", "1e3", "", "--1", "99999999999999"})
    EXPECT_FALSE(parsePosition(text)) << '"' << text << '"';
}

// Whether start-up on this file entry goes through the set-up (answered with Cancel).
bool setUpRunsFor(const fake::FakeFiles::Entry& entry) {
  fake::FakePlatform fake;
  App app{fake.platform};
  fake.files.entries[kConfig] = entry;
  fake.enter([&] { app.main(); });
  return !fake.help.requests.empty();
}

TEST(SettingsFile, AMissingOrBadFileLeadsToTheSetUp) {
  const std::string good = fileOf({"c:\\", "", "", "", "", ""});
  EXPECT_FALSE(setUpRunsFor({good}));
  EXPECT_FALSE(setUpRunsFor({fileOf({}, 40000, -40000)}));
  EXPECT_TRUE(setUpRunsFor({good.substr(0, good.size() - 6)}));
  EXPECT_TRUE(setUpRunsFor({good, true}));         // hidden, system or a folder
  EXPECT_TRUE(setUpRunsFor({good, false, true}));  // unreadable
}

TEST_F(AppTest, TheSetUpKeepsTheSlotsReadAndAHugeFileIsReadOnlyInPart) {
  start("\"c:\\\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"d:\\\"\r\n\"\"\r\n" + std::string(8 << 20, 'x'));
  EXPECT_EQ(file(), fileOf({"c:\\", "", "", "", "d:\\", ""}, 0, 0));
  EXPECT_LT(fake.files.largestRead, 1u << 20);
}

TEST_F(AppTest, HideWritesEightCrLfLinesWithTheDraggedPlace) {
  start(fileOf({"c:\\", "", "d:", "", "", "z:\\"}, 1500, 900));
  press(kLeft);
  drag(300, 150);
  release(kLeft);
  popup("&Hide");
  EXPECT_EQ(file(), "\"c:\\\"\r\n\"\"\r\n\"d:\\\"\r\n\"\"\r\n\"\"\r\n\"z:\\\"\r\n1800\r\n1050\r\n");
}

TEST_F(AppTest, AFailedSaveIsToldAndTheChoiceStaysInUseUntilItCanBeSaved) {
  start(fileOf({"c:\\", "", "", "", "", ""}));
  fake.files.writeFailure = "Access is denied.";
  tray(kRightPress, "&Options");
  pick(2, 2);  // z:
  optionsClick(OptionsWindow::Okay);
  ASSERT_EQ(fake.desktop.messages.size(), 1u);
  EXPECT_NE(fake.desktop.messages[0].find(kConfig), std::string::npos);
  EXPECT_NE(fake.desktop.messages[0].find("Access is denied."), std::string::npos);
  EXPECT_EQ(file(), fileOf({"c:\\", "", "", "", "", ""}));
  EXPECT_EQ(fake.desktop.modalDepth, 0);  // no set-up started by reading the old file back
  press(kLeft);                           // the drive window, closed and shown again, does not read the older file
  release(kLeft);
  tray(kLeftPress);
  fake.files.writeFailure.clear();
  tray(kRightPress, "&Quit");
  EXPECT_EQ(file(), fileOf({"c:\\", "z:\\", "", "", "", ""}));
}

TEST_F(AppTest, WhileAFailedSavesBoxIsUpNothingOfTheProgramRunsAndAPressBringsTheBoxForward) {
  start(fileOf({"c:\\", "", "", "", "", ""}));
  fake.files.writeFailure = "Access is denied.";
  fake.desktop.onMessageBox.push_back([&] {
    press(kLeft);
    release(kLeft);
    fake.elapse(2000);
    tray(kHover);
    tray(kRightPress, "&Quit");
  });
  press(kLeft);
  release(kLeft);  // closes the drive window, whose save fails
  EXPECT_EQ(fake.desktop.boxBroughtToFront, 2);
  EXPECT_EQ(fake.desktop.messages.size(), 1u);
  EXPECT_FALSE(exists("smallwindow"));
  EXPECT_FALSE(fake.ended());
  EXPECT_TRUE(fake.shell.iconPresent);
}

// Where a failed save comes from, and the window its box must belong to: that window waits under
// the box, and after it the first window activated is that one, with the rest taking input again.
struct BoxRow {
  const char* menu;  // "tray", "popup" or "click" (a plain click that closes the drive window)
  const char* entry;
  const char* owner;
  friend void PrintTo(const BoxRow& row, std::ostream* os) { *os << row.menu << " " << (row.entry ? row.entry : ""); }
};
class BoxTest : public AppTest, public ::testing::WithParamInterface<BoxRow> {};

TEST_P(BoxTest, AFailedSavesBoxBelongsToTheWindowItCameFrom) {
  start(fileOf({"c:\\", "", "", "", "", ""}));
  tray(kRightPress, "&About");  // one more window that must wait
  fake.files.writeFailure = "Access is denied.";
  std::string afterTheBox;  // the window activated first and those that take no input then
  fake.desktop.onActivate = [&](const std::string& window) {
    if (fake.desktop.messages.empty() || !afterTheBox.empty()) return;
    afterTheBox = window;
    for (const char* name : {"smallwindow", "optionswindow", "aboutwindow", "tbarw"})
      if (exists(name) && !win(name).enabled) afterTheBox += std::string(", ") + name + " waits";
  };
  const auto [menu, entry, owner] = GetParam();
  auto okay = [&] { optionsClick(OptionsWindow::Okay); };
  if (std::string(menu) == "click") {
    press(kLeft);
    release(kLeft);
  } else if (std::string(menu) == "tray") {
    tray(kRightPress, entry);
    if (std::string(entry) == "&Options") okay();
  } else {
    if (std::string(entry) == "&Options") whenModal(okay);
    popup(entry);
  }
  EXPECT_EQ(fake.desktop.boxOwners, std::vector<std::string>{owner});
  EXPECT_EQ(afterTheBox, owner);
}

INSTANTIATE_TEST_SUITE_P(Saves, BoxTest,
                         ::testing::Values(BoxRow{"tray", "&Options", "optionswindow"},
                                           BoxRow{"popup", "&Options", "optionswindow"},
                                           BoxRow{"click", nullptr, "smallwindow"},
                                           BoxRow{"popup", "&Hide", "smallwindow"},
                                           BoxRow{"popup", "&Quit", "smallwindow"}, BoxRow{"tray", "&Quit", "tbarw"}));

}  // namespace
}  // namespace kv
