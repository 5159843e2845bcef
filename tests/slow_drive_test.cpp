// Drives are asked beside the windows: a slow drive holds up nothing but its own figure, is
// never asked twice at once, and its answer shows as soon as it comes.
#include "app_fixture.h"

namespace kv {
namespace {

const std::string kSlow = "d:\\";
const Slots kThree{"c:\\", "d:\\", "z:\\", "", "", ""};

class SlowDriveTest : public AppTest {
 protected:
  SlowDriveTest() { fake.disks.slow.insert(kSlow); }
  std::string seen() { return line(0) + " | " + line(1) + " | " + line(2) + " | " + fake.shell.tip(); }
  void tick() { fake.elapse(2000); }
  void answer() {  // the slow drive's answer reaches the event loop
    fake.disks.release(kSlow);
    fake.idle();
  }
  int questions() { return fake.disks.asked["c:\\"] + fake.disks.asked[kSlow] + fake.disks.asked["z:\\"]; }
};

// Every refresh: the timer's and every message from the tray icon.
TEST_F(SlowDriveTest, EveryRefreshShowsTheOtherDrivesAnewWhileTheSlowOneWaitsAskedOnce) {
  start(fileOf(kThree));
  const std::pair<const char*, std::function<void()>> refreshes[] = {
      {"timer", [&] { tick(); }},       {"hover", [&] { tray(kHover); }},   {"left up", [&] { tray(0x202); }},
      {"double", [&] { tray(0x203); }}, {"right up", [&] { tray(0x205); }}, {"tray menu", [&] { tray(kRightPress); }}};
  int megabytes = 100;
  for (const auto& [what, refresh] : refreshes) {
    const int asked = fake.disks.asked["c:\\"];
    freeMegabytes("c:\\", ++megabytes);
    refresh();
    const std::string c = std::to_string(megabytes);
    EXPECT_EQ(seen(), "c: " + c + ".00 MB | d: 0.00 MB | z: 12.00 MB | c:" + c + "MB d:0MB z:12MB") << what;
    EXPECT_EQ(fake.disks.asked["c:\\"], asked + 1) << what;  // the answer's own refresh asks nothing
  }
  EXPECT_EQ(fake.disks.asked[kSlow], 1);
  EXPECT_EQ(fake.disks.overlapping, 0);
  // The menu opened before the answer to its own callback came: it shows the one before.
  EXPECT_EQ(menuDrives(),
            (std::vector<std::string>{"c: " + std::to_string(megabytes - 1) + ".00 MB", "d: 0.00 MB", "z: 12.00 MB"}));
  popup("&Quit");
  EXPECT_TRUE(fake.ended());
}

struct LateRow {
  std::optional<double> before, after;  // the slow drive's megabytes; none: no answer yet, or it fails
  const char* waiting;                  // its line and the tip while its next answer is on its way
  const char* shown;                    // once that has come, without a tick
  int notices;                          // tray modifications the answer brought
  friend void PrintTo(const LateRow& row, std::ostream* os) { *os << row.waiting << " -> " << row.shown; }
};
class LateAnswerTest : public SlowDriveTest, public ::testing::WithParamInterface<LateRow> {};

TEST_P(LateAnswerTest, ShowsAtOnceInTheWindowAndTheTipAndAsksNothing) {
  const LateRow& row = GetParam();
  start(fileOf({"c:\\", "d:\\", "", "", "", ""}));
  if (row.before) {
    freeMegabytes(kSlow, *row.before);
    answer();
  }
  row.after ? freeMegabytes(kSlow, *row.after) : void(fake.disks.answers.erase(kSlow));
  tick();
  EXPECT_EQ(fake.disks.asked[kSlow], row.before ? 2 : 1);  // once at start-up, and once after each answer
  EXPECT_EQ(line(1) + " " + fake.shell.tip(), row.waiting);
  const int asked = questions(), notices = fake.shell.taken;
  answer();
  EXPECT_EQ(line(1) + " " + fake.shell.tip(), row.shown);
  EXPECT_EQ(fake.shell.taken - notices, row.notices);
  EXPECT_EQ(questions(), asked);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, LateAnswerTest,
    ::testing::Values(LateRow{std::nullopt, 532, "d: 0.00 MB c:1856MB d:0MB", "d: 532.00 MB c:1856MB d:532MB", 1},
                      LateRow{532, 7.5, "d: 532.00 MB c:1856MB d:532MB", "d: 7.50 MB c:1856MB d:8MB", 1},
                      LateRow{532, std::nullopt, "d: 532.00 MB c:1856MB d:532MB", "d: 0.00 MB c:1856MB d:0MB", 1},
                      LateRow{532, 532.25, "d: 532.00 MB c:1856MB d:532MB", "d: 532.25 MB c:1856MB d:532MB", 0},
                      LateRow{532, 532, "d: 532.00 MB c:1856MB d:532MB", "d: 532.00 MB c:1856MB d:532MB", 0}));

// A drive that fails, or answers only after a refresh (true), is asked less and less often, at
// most a minute apart; once it answers in time, at every refresh again.
class BackOffTest : public SlowDriveTest, public ::testing::WithParamInterface<bool> {};

TEST_P(BackOffTest, ADriveThatKeepsNotAnsweringIsAskedLessAndLessOftenUntilItAnswers) {
  const bool late = GetParam();
  if (!late) fake.disks.slow.erase(kSlow), fake.disks.answers.erase(kSlow);
  start(fileOf({"c:\\", kSlow, "", "", "", ""}));
  std::vector<unsigned long long> gaps;
  auto ask = [&, last = fake.desktop.now, asked = 0]() mutable {
    if (fake.disks.asked[kSlow] == asked) return;
    asked = fake.disks.asked[kSlow];
    gaps.push_back(fake.desktop.now - last);
    if (late) fake.elapse(4000), answer();
    last = fake.desktop.now;  // the pause counts from the answer
  };
  for (int ticks = 0; gaps.size() < 9 && ticks < 200; ++ticks) {
    ask();
    if (gaps.size() == 7) fake.disks.slow.erase(kSlow), freeMegabytes(kSlow, 5);  // in time from now on
    tick();
  }
  EXPECT_EQ(gaps, (std::vector<unsigned long long>{0, 2000, 4000, 8000, 16000, 32000, 60000, 60000, 2000}));
}

INSTANTIATE_TEST_SUITE_P(FailingOrLate, BackOffTest, ::testing::Bool());

TEST_F(SlowDriveTest, ADriveInItsPauseIsAskedAtTheNextRefreshOnceADriveComesOrGoes) {
  fake.disks.slow.erase(kSlow), fake.disks.answers.erase(kSlow);
  start(fileOf({"c:\\", kSlow, "", "", "", ""}));
  fake.elapse(20000);
  const int asked = fake.disks.asked[kSlow];
  freeMegabytes(kSlow, 5);  // a disc put in
  fake.changeDrives(fake.disks.drives);
  tick();
  EXPECT_EQ(fake.disks.asked[kSlow], asked + 1);
  EXPECT_EQ(line(1), "d: 5.00 MB");
}

// The answer comes while a failed save's message box is up (Okay in Options, or Hide): nothing
// under the box changes, and the answer is kept, so the drive is asked again at the next refresh,
// which shows it.
class AnswerUnderBoxTest : public SlowDriveTest, public ::testing::WithParamInterface<bool> {};

TEST_P(AnswerUnderBoxTest, AnAnswerThatComesUnderAMessageBoxIsKeptAndTheDriveAskedAgain) {
  start(fileOf(kThree));
  fake.files.writeFailure = "Access is denied.";
  bool changedUnderBox = true;
  fake.desktop.onMessageBox.push_back([&] {
    const std::string before = seen();
    answer();
    changedUnderBox = seen() != before;
  });
  if (GetParam()) {
    popup("&Hide");
  } else {
    tray(kRightPress, "&Options");
    optionsClick(OptionsWindow::Okay);
  }
  EXPECT_EQ(fake.desktop.messages.size(), 1u);
  EXPECT_FALSE(changedUnderBox);
  tray(kLeftPress);
  EXPECT_EQ(fake.disks.asked[kSlow], 2);
  EXPECT_EQ(fake.shell.tip(), "c:1856MB d:532MB z:12MB");
}

INSTANTIATE_TEST_SUITE_P(HideOrOkay, AnswerUnderBoxTest, ::testing::Bool());

}  // namespace
}  // namespace kv
