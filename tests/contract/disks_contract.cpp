// What the program relies on the disks port to do: free-space answers that come later on the
// windows' thread, one to each question, and the list of the drives there are.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "contract/worlds.h"

namespace kv::contract {
namespace {

class DisksContract : public ::testing::Test {
 protected:
  std::unique_ptr<DisksWorld> world = makeDisksWorld();
  Disks& disks = world->disks();
  // A letter with no drive behind it.
  const char missing = [this] {
    const std::vector<char> there = world->letters();
    char letter = 'y';
    while (std::count(there.begin(), there.end(), letter)) --letter;
    return letter;
  }();
  const std::string roots[2] = {"c:\\", std::string(1, missing) + ":\\"};

  struct Answers {
    std::vector<int> count;
    std::vector<std::optional<DiskCounters>> last;
  } answers;
  void ask(const std::string& root) {
    const std::size_t question = answers.count.size();
    answers.count.push_back(0), answers.last.emplace_back();
    const std::thread::id asker = std::this_thread::get_id();
    disks.askFreeSpace(root, [this, question, asker](std::optional<DiskCounters> counters) {
      EXPECT_EQ(std::this_thread::get_id(), asker) << "answered off the windows' thread";
      ++answers.count[question], answers.last[question] = counters;
    });
  }
  bool allAnswered() const { return std::find(answers.count.begin(), answers.count.end(), 0) == answers.count.end(); }
};

TEST_F(DisksContract, APresentDriveAnswersConsistentCountersLaterAndAMissingOneNothing) {
  for (const std::string& root : roots) ask(root);
  EXPECT_EQ(answers.count, std::vector<int>({0, 0})) << "answered during the question";
  ASSERT_TRUE(world->runEventsUntil([this] { return allAnswered(); }));
  ASSERT_TRUE(answers.last[0].has_value());
  const DiskCounters c = *answers.last[0];
  EXPECT_GT(c.sectorsPerCluster, 0u);
  EXPECT_GE(c.bytesPerSector, 512u);
  EXPECT_EQ(c.bytesPerSector & (c.bytesPerSector - 1), 0u) << c.bytesPerSector;
  EXPECT_GT(c.freeClusters, 0u);
  EXPECT_LE(c.freeClusters, c.totalClusters);
  EXPECT_EQ(answers.last[1], std::nullopt) << roots[1];
}

TEST_F(DisksContract, ManyQuestionsToSeveralDrivesEachGetExactlyOneAnswer) {
  for (int round = 0; round < 12; ++round) ask(roots[round % 2]);
  ASSERT_TRUE(world->runEventsUntil([this] { return allAnswered(); }));
  // A second answer to an early question would come before each drive's last one.
  for (const std::string& root : roots) ask(root);
  ASSERT_TRUE(world->runEventsUntil([this] { return allAnswered(); }));
  EXPECT_EQ(answers.count, std::vector<int>(answers.count.size(), 1));
  for (std::size_t i = 0; i < answers.last.size(); ++i) EXPECT_EQ(answers.last[i].has_value(), i % 2 == 0) << i;
}

// Once every question has its answer, whatever asks the drives waits without using the processor.
TEST_F(DisksContract, WithEveryQuestionAnsweredTheProcessIsIdle) {
  for (const std::string& root : roots) ask(root);
  ASSERT_TRUE(world->runEventsUntil([this] { return allAnswered(); }));
  EXPECT_LT(world->busyWhileTakingEvents(1000), 0.25) << "of one processor";
}

TEST_F(DisksContract, ALabelComesLaterOnTheWindowsThreadAsTheSystemNamesTheDrive) {
  std::optional<std::string> got[2];
  for (int i : {0, 1})
    disks.askLabel(roots[i], [&got, i, asker = std::this_thread::get_id()](const std::string& label) {
      EXPECT_EQ(std::this_thread::get_id(), asker) << "answered off the windows' thread";
      EXPECT_FALSE(got[i].has_value()) << "answered twice";
      got[i] = label;
    });
  EXPECT_FALSE(got[0] || got[1]) << "answered during the question";
  ASSERT_TRUE(world->runEventsUntil([&] { return got[0] && got[1]; }));
  EXPECT_EQ(*got[0], world->label(roots[0]));
  EXPECT_EQ(*got[1], "") << "a missing drive";
}

TEST_F(DisksContract, TheListHasOneEntryPerDriveEachItsLetterAndAColon) {
  std::vector<char> listed;
  for (const std::string& entry : disks.driveList()) {
    ASSERT_EQ(entry.size(), 2u) << entry;
    EXPECT_EQ(entry[1], ':') << entry;
    listed.push_back(entry[0]);
  }
  EXPECT_EQ(listed, world->letters());
  EXPECT_EQ(std::count(listed.begin(), listed.end(), 'c'), 1);
  EXPECT_EQ(std::count(listed.begin(), listed.end(), missing), 0);
}

}  // namespace
}  // namespace kv::contract
