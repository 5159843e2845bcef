// Any bytes as the settings file: reading never fails, and the program started on them keeps
// running and writes a file that reads back to the settings it holds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/app.h"
#include "app/config_file.h"
#include "fake/fake_platform.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

// A slot holding a double quote cannot be written back as it is: the file format has no escape.
bool plainSlot(const std::string& s) {
  return s.find('"') == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kv;
  std::string bytes(reinterpret_cast<const char*>(data), size);

  ConfigRead read = parseConfig(bytes);
  check(read.slotsRead >= 0 && read.slotsRead <= kSlots);
  if (read.complete()) {
    std::string again = formatConfig(read.drives, *read.left, *read.top);
    ConfigRead back = parseConfig(again);
    check(back.complete() && *back.left == *read.left && *back.top == *read.top);
    for (int i = 0; i < kSlots; ++i)
      if (plainSlot(read.drives[i])) check(back.drives[i] == read.drives[i]);
  }

  // The whole program on that file: start, refresh, hide (which saves), read back.
  fake::FakePlatform fake;
  fake.disks.answers["c:\\"] = {DiskCounters{8, 512, 1000, 0}, true};
  App app(fake.platform());
  const std::string path = "C:\\Programs\\Kestrovan\\kv99.cfg";
  fake.files.entries[path] = {bytes};
  fake.desktop.onModal.push_back(
      [&](WindowHandle) { fake.desktop.sink("optionswindow").controlClicked(OptionsWindow::Command1); });
  fake.enter([&] { app.main(); });
  check(!fake.ended() && fake.desktop.messages.empty());
  fake.enter([&] { app.smallwindow.refall(); });
  fake.enter([&] { app.tray.traysync(); });
  fake.enter([&] { app.hideall(); });
  check(!fake.ended() && fake.desktop.messages.empty());
  ConfigRead saved = parseConfig(fake.files.entries.at(path).bytes);
  check(saved.complete());
  check(*saved.left == app.settings.smlleft && *saved.top == app.settings.smltop);
  for (int i = 0; i < kSlots; ++i)
    if (plainSlot(app.settings.drives[i])) check(saved.drives[i] == app.settings.drives[i]);
  return 0;
}
