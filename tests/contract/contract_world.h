#pragma once
// The world a port's contract runs in: the ports under test and what the contract needs beyond
// them (a scratch folder, file attributes given as a user or the system gives them, what the
// program was started as). Each implementation has one: the fake's in fake_world.cpp,
// Windows' in win32/win32_world.cpp.
#include <memory>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/process.h"

namespace kv::contract {

enum class Attribute { Hidden, System, ReadOnly };

class World {
 public:
  virtual ~World() = default;
  virtual Files& files() = 0;
  virtual Process& process() = 0;

  // An empty folder to write in, without a trailing separator; it goes with the world.
  virtual std::string folder() = 0;
  virtual std::vector<std::string> namesInFolder() = 0;  // files and folders, sorted
  virtual void give(const std::string& path, Attribute) = 0;

  // A second copy of the program, started while this one runs.
  virtual std::unique_ptr<Process> anotherCopy() = 0;
  virtual std::string arguments() = 0;    // those the program was started with, as typed
  virtual std::string programFile() = 0;  // the executable's name in its folder
  virtual VersionNumbers version() = 0;   // the numbers of its version block
  // The user picks this decimal separator in the regional settings, until the world goes.
  virtual void chooseDecimalSeparator(char) = 0;
};

std::unique_ptr<World> makeWorld();

}  // namespace kv::contract
