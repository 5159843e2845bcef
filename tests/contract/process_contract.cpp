// What the program relies on the process port to do, stated once for every implementation. The
// end of the process is left out: the real one does not come back to say it was done.
#include <gtest/gtest.h>

#include "contract/worlds.h"

namespace kv::contract {
namespace {

class ProcessContract : public ::testing::Test {
 protected:
  std::unique_ptr<World> world = makeWorld();
  Process& process = world->process();
};

TEST_F(ProcessContract, OneCopyIsAloneAndASecondOneSeesIt) {
  EXPECT_FALSE(process.previousInstance());
  EXPECT_FALSE(process.previousInstance()) << "asked again, the copy takes itself for another";
  EXPECT_TRUE(world->anotherCopy()->previousInstance());
}

// The program takes its name apart from the arguments: "m" in the program's path is no switch.
TEST_F(ProcessContract, TheCommandLineIsTheArgumentsWithoutTheProgramsName) {
  EXPECT_EQ(process.commandLine(), world->arguments());
}

TEST_F(ProcessContract, TheFolderHoldsTheProgramAndEndsInASeparatorOnlyAtADriveRoot) {
  const std::string folder = process.exeFolder();
  ASSERT_GE(folder.size(), 3u);
  const bool root = folder.size() == 3 && folder[1] == ':';
  EXPECT_EQ(folder.back() == '\\', root) << folder;
  // Joined to a name as the program joins its settings and help files to the folder.
  EXPECT_TRUE(world->files().normalFileExists(folder + "\\" + world->programFile())) << folder;
}

TEST_F(ProcessContract, TheVersionIsMajorMinorAndRevisionOfTheVersionBlock) {
  const VersionNumbers want = world->version(), got = process.version();
  EXPECT_EQ(std::vector<int>({got.major, got.minor, got.revision}),
            std::vector<int>({want.major, want.minor, want.revision}));
}

TEST_F(ProcessContract, TheDecimalSeparatorIsTheUsersChoice) {
  for (char separator : {',', '.'}) {
    world->chooseDecimalSeparator(separator);
    EXPECT_EQ(process.decimalSeparator(), separator);
  }
}

}  // namespace
}  // namespace kv::contract
