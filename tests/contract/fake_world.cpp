// The ports' contracts on the fake platform: its files and its process, the program installed in
// the folder the fake process names.
#include "contract/contract_world.h"
#include "fake/fake_platform.h"

namespace kv::contract {
namespace {

constexpr const char* kScratch = "C:\\Scratch";

class FakeWorld final : public World {
 public:
  FakeWorld() {
    files_.folders.insert(kScratch);
    process_.arguments = "/min";
    files_.entries[process_.exeFolder() + "\\" + programFile()] = {"MZ"};
  }
  Files& files() override { return files_; }
  Process& process() override { return process_; }
  std::string folder() override { return kScratch; }
  std::vector<std::string> namesInFolder() override {
    std::vector<std::string> names;
    const std::string prefix = std::string(kScratch) + "\\";
    for (const auto& [path, entry] : files_.entries)
      if (path.compare(0, prefix.size(), prefix) == 0) names.push_back(path.substr(prefix.size()));
    return names;
  }
  void give(const std::string& path, Attribute attribute) override {
    (attribute == Attribute::ReadOnly ? files_.entries.at(path).readOnly : files_.entries.at(path).hidden) = true;
  }
  std::unique_ptr<Process> anotherCopy() override {
    auto copy = std::make_unique<fake::FakeProcess>();
    copy->anotherRunning = true;
    return copy;
  }
  std::string arguments() override { return "/min"; }
  std::string programFile() override { return "kestrovan99.exe"; }
  VersionNumbers version() override { return {1, 4, 3}; }
  void chooseDecimalSeparator(char separator) override { process_.separator = separator; }

 private:
  fake::FakeFiles files_;
  fake::FakeProcess process_;
};

}  // namespace

std::unique_ptr<World> makeWorld() {
  return std::make_unique<FakeWorld>();
}

}  // namespace kv::contract
