#include <algorithm>

#include "fake/fake_platform.h"

namespace kv::fake {

void FakeShell::notifyIcon(TrayCommand command, const TrayRecord& record) {
  static const char* const names[] = {"add", "modify", "delete"};
  commands.push_back(command);
  lastRecord = record;
  if (command == TrayCommand::Add) {
    if (!iconPresent) ++iconsAdded;
    iconPresent = true;
  } else if (command == TrayCommand::Delete) {
    iconPresent = false;
  }
  log_.push_back(std::string("notify ") + names[static_cast<int>(command)] + " " + record.szTip.data());
}

int FakeShell::findExecutable(const std::string& document, std::string& program) {
  documentsLookedUp.push_back(document);
  if (duringLookup) duringLookup(document);
  log_.push_back("find " + document);
  if (findResult > 32) program = "  " + browser + "  ";
  return findResult;
}

int FakeShell::execute(unsigned long, const std::string& program, const std::string& parameters) {
  log_.push_back("execute " + program + " " + parameters);
  if (executeResult > 32) started.push_back(program + " " + parameters);
  return executeResult;
}

bool FakeDisks::freeSpace(const std::string& root, DiskCounters& counters) {
  queries.push_back(root);
  auto it = answers.find(root);
  if (it == answers.end() || !it->second.ok) return false;
  counters = it->second.counters;
  return true;
}

void FakeHelp::show(WindowHandle, const std::string& file, unsigned command, unsigned long topic) {
  requests.push_back(Request{file, command, topic});
  log_.push_back("help " + file + " " + std::to_string(command) + " " + std::to_string(topic));
}

void FakeProcess::end(int code) {
  endedWith = code;
  log_.push_back("end " + std::to_string(code));
  throw ProcessEnded{code};
}

bool FakeFiles::normalFileExists(const std::string& path) {
  log_.push_back("exists " + path);
  auto it = entries.find(path);
  return it != entries.end() && !it->second.hidden && !it->second.system && !it->second.folder;
}

std::optional<std::string> FakeFiles::read(const std::string& path, std::size_t limit) {
  log_.push_back("read " + path);
  auto it = entries.find(path);
  if (it == entries.end() || it->second.folder || it->second.unreadable) return std::nullopt;
  std::string bytes = it->second.bytes.substr(0, limit);
  largestRead = std::max(largestRead, bytes.size());
  return bytes;
}

std::string FakeFiles::writeAtomic(const std::string& path, const std::string& bytes) {
  log_.push_back("write " + path);
  auto it = entries.find(path);
  if (!writeFailure.empty()) return writeFailure;
  if (it != entries.end() && it->second.folder) return "Access is denied.";
  ++writes;
  entries[path] = Entry{bytes};
  return std::string();
}

std::string FakeFiles::createTemporary(const std::string& extension, const std::string& bytes) {
  if (temporaryFails) return std::string();
  std::string path = "C:\\Temp\\kv99-" + std::to_string(++temporaries_) + extension;
  entries[path] = Entry{bytes};
  log_.push_back("temp " + path);
  return path;
}

void FakeFiles::remove(const std::string& path) {
  log_.push_back("remove " + path);
  entries.erase(path);
}

FakePlatform::FakePlatform() : platform_{desktop, shell, disks, help, process, files} {}

void FakePlatform::enter(const std::function<void()>& entry) {
  if (ended()) return;
  try {
    atEntry(desktop, process, kFailureNotice, entry);
  } catch (const ProcessEnded&) {
  }
}

std::vector<std::string> FakePlatform::logOf(const std::vector<std::string>& prefixes) const {
  std::vector<std::string> out;
  for (const auto& line : log)
    if (std::any_of(prefixes.begin(), prefixes.end(),
                    [&](const std::string& p) { return line.compare(0, p.size(), p) == 0; }))
      out.push_back(line);
  return out;
}

}  // namespace kv::fake
