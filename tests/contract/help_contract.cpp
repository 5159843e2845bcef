// What the program relies on the help port to do: say whether the system shows help files (the
// program's help goes to its HTML page where it does not), and take a file it cannot find without
// holding up or ending the program. That the right topic comes up is checked end to end.
#include <gtest/gtest.h>

#include <chrono>

#include "contract/worlds.h"

namespace kv::contract {
namespace {

class HelpContract : public ::testing::Test {
 protected:
  std::unique_ptr<HelpWorld> world = makeHelpWorld();
  HelpViewer& help = world->help();
};

TEST_F(HelpContract, HelpFilesAreShownWhereTheSystemHasTheirViewer) {
  EXPECT_EQ(help.showsHelpFiles(), world->systemHasHelpViewer());
  EXPECT_EQ(help.showsHelpFiles(), world->systemHasHelpViewer()) << "asked again";
}

// The viewer may say that it found no file; once the user closes that, the program goes on.
TEST_F(HelpContract, AMissingHelpFileHoldsTheProgramUpOnlyUntilTheViewersMessageIsClosed) {
  if (!help.showsHelpFiles()) GTEST_SKIP() << "the program opens its HTML page instead";
  world->closeViewerMessages();
  for (unsigned long topic : {3ul, 7ul}) {
    const auto start = std::chrono::steady_clock::now();
    help.show(0, world->missingFile(), HelpCommand::ShowTopic, topic);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20)) << topic;
  }
}

}  // namespace
}  // namespace kv::contract
