// What the program relies on the files port to do (the settings file, the web page launcher's
// temporary page), stated once for every implementation.
#include <gtest/gtest.h>

#include "contract/worlds.h"

namespace kv::contract {
namespace {

class FilesContract : public ::testing::Test {
 protected:
  std::unique_ptr<World> world = makeWorld();
  Files& files = world->files();
  // Outside every ANSI code page: paths are UTF-8 all the way to the system.
  const std::string name = "kv99-\xce\xba\xe2\x82\xac.cfg";
  const std::string path = world->folder() + "\\" + name;
};

TEST_F(FilesContract, AMissingFileIsNotFoundAndReadsAsNothing) {
  EXPECT_FALSE(files.normalFileExists(path));
  EXPECT_EQ(files.read(path, 100), std::nullopt);
}

// Each write shorter than the one before: a replaced file keeps no tail of its old bytes.
TEST_F(FilesContract, AWriteReplacesTheWholeFileByteForByteAndLeavesNothingBeside) {
  const std::string contents[] = {
      std::string(3 << 20, 'x') + "end",
      "\"c:\\\"\r\n\"\"\r\n1500\r\n900\r\n",
      std::string("\0\x80\xff\r\r\n\n\x1a", 8),  // bytes, not text: no line ends or end of file made up
      "",
  };
  for (const std::string& bytes : contents) {
    ASSERT_EQ(files.writeAtomic(path, bytes), "");
    EXPECT_TRUE(files.normalFileExists(path));
    EXPECT_EQ(files.read(path, bytes.size() + 1), bytes);
    EXPECT_EQ(world->namesInFolder(), std::vector<std::string>{name});
  }
}

// Files named after it (what a save cut off by a crash may have left, another program's) take no
// part in a write.
TEST_F(FilesContract, FilesBesideItNamedAfterItDoNotStopAWrite) {
  for (const char* suffix : {".new", ".tmp", "~"}) ASSERT_EQ(files.writeAtomic(path + suffix, "left"), "");
  EXPECT_EQ(files.writeAtomic(path, "new"), "");
  EXPECT_EQ(files.read(path, 10), "new");
}

TEST_F(FilesContract, AReadGivesAtMostItsLimit) {
  ASSERT_EQ(files.writeAtomic(path, "0123456789"), "");
  const std::pair<std::size_t, std::string> reads[] = {
      {0, ""}, {1, "0"}, {9, "012345678"}, {10, "0123456789"}, {64 * 1024, "0123456789"}};
  for (const auto& [limit, bytes] : reads) EXPECT_EQ(files.read(path, limit), bytes) << limit;
}

TEST_F(FilesContract, AttributesDecideWhetherAFileIsNormalAndMayBeReplaced) {
  const struct {
    Attribute attribute;
    bool normal, replaced;
  } rows[] = {{Attribute::Hidden, false, true}, {Attribute::System, false, true}, {Attribute::ReadOnly, true, false}};
  std::vector<std::string> names;
  for (const auto& row : rows) {
    names.push_back("file" + std::to_string(names.size()));
    const std::string file = world->folder() + "\\" + names.back();
    ASSERT_EQ(files.writeAtomic(file, "old"), "");
    world->give(file, row.attribute);
    EXPECT_EQ(files.normalFileExists(file), row.normal) << names.back();
    const std::string reason = files.writeAtomic(file, "new");
    // Refused, it says why in the system's words, as the user reads them in the program's message.
    EXPECT_EQ(reason.find("denied") != std::string::npos, !row.replaced) << names.back() << ": " << reason;
    EXPECT_EQ(files.read(file, 10), row.replaced ? "new" : "old") << names.back();
    // The file that replaces another is a normal one, whatever the other was.
    EXPECT_EQ(files.normalFileExists(file), row.normal || row.replaced) << names.back();
  }
  EXPECT_EQ(world->namesInFolder(), names);
  EXPECT_FALSE(files.normalFileExists(world->folder()));
  EXPECT_EQ(files.read(world->folder(), 10), std::nullopt);
}

TEST_F(FilesContract, AWriteIntoAMissingFolderOrOntoAFolderGivesTheReasonAndLeavesNothing) {
  EXPECT_NE(files.writeAtomic(world->folder() + "\\gone\\kv99.cfg", "bytes"), "");
  EXPECT_EQ(world->namesInFolder(), std::vector<std::string>{});
  // The file is made beside the folder and then fails to take its place.
  world->makeFolder(path);
  EXPECT_NE(files.writeAtomic(path, "bytes"), "");
  EXPECT_EQ(world->namesInFolder(), std::vector<std::string>{name});
}

TEST_F(FilesContract, TemporaryFilesAreNewDistinctAndGoneOnceRemoved) {
  const std::string bytes[] = {"\" \"\r\n", "x"};
  const std::string pages[] = {files.createTemporary(".htm", bytes[0]), files.createTemporary(".htm", bytes[1])};
  EXPECT_NE(pages[0], pages[1]);
  for (int i : {0, 1}) {
    ASSERT_GT(pages[i].size(), 4u);
    EXPECT_EQ(pages[i].substr(pages[i].size() - 4), ".htm");
    EXPECT_TRUE(files.normalFileExists(pages[i])) << pages[i];
    EXPECT_EQ(files.read(pages[i], 100), bytes[i]);
    files.remove(pages[i]);
    EXPECT_FALSE(files.normalFileExists(pages[i])) << pages[i];
    EXPECT_EQ(files.read(pages[i], 100), std::nullopt) << pages[i];
  }
}

}  // namespace
}  // namespace kv::contract
