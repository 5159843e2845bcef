// The program's own cost of one refresh of the drive window (refall) and of the tray
// (traysync) with six slots, on the in-memory platform, each with the six answers it asked
// for: the system's free-space query is a table look-up here, so what is measured is the
// program's work alone. Prints figures.
#include <chrono>
#include <cstdio>

#include "app/app.h"
#include "fake/fake_platform.h"

namespace {

using Clock = std::chrono::steady_clock;

template <class Work>
double nanosecondsPerCall(int calls, Work&& work) {
  auto start = Clock::now();
  for (int i = 0; i < calls; ++i) work(i);
  std::chrono::duration<double, std::nano> spent = Clock::now() - start;
  return spent.count() / calls;
}

}  // namespace

int main() {
  using namespace kv;
  const int calls = 10000;
  fake::FakePlatform fake;
  const char* roots[] = {"c:\\", "d:\\", "e:\\", "f:\\", "g:\\", "z:\\"};
  std::string file;
  for (const char* root : roots) {
    fake.disks.answers[root] = DiskCounters{8, 512, 475200, 0};
    file += std::string("\"") + root + "\"\r\n";
  }
  fake.files.entries["C:\\Programs\\Kestrovan\\kv99.cfg"] = {file + "1500\r\n900\r\n"};
  App app(fake.platform);
  fake.enter([&] { app.main(); });

  // The answers come as the event loop delivers them; changed ones refresh the views again.
  double unchanged = nanosecondsPerCall(calls, [&](int) {
    app.refresh();
    fake.idle();
  });
  double changed = nanosecondsPerCall(calls, [&](int i) {
    for (const char* root : roots) fake.disks.answers[root].freeClusters = 475200 + (i & 1);
    app.refresh();
    fake.idle();
  });
  double tray = nanosecondsPerCall(calls, [&](int) {
    app.traysync();
    fake.idle();
  });

  std::printf("%d calls each, six slots, program's own work with the six answers (the query is a look-up)\n", calls);
  std::printf("refall, texts unchanged:  %8.2f us per call\n", unchanged / 1000);
  std::printf("refall, all six changed:  %8.2f us per call\n", changed / 1000);
  std::printf("traysync:                 %8.2f us per call\n", tray / 1000);
  return fake.ended() ? 1 : 0;
}
