#pragma once
// The threads that put the program's questions to the drives. One thread asks every drive in
// turn while they answer promptly; a drive that keeps a question longer than a moment is left
// with that thread, and the questions of the others move to a fresh one, so a share whose server
// has gone holds up nothing but itself. With every drive answering, one thread does it all.
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/disks.h"
#include "platform/win32/win32_api.h"

namespace kv::win32 {

// One question, owned in turn by a thread's queue, the thread, the message queue, the mailbox.
struct DriveQuestion {
  HWND mailbox;  // where the answer is posted
  unsigned long id;
  std::string root;
  bool label = false;  // a question for the label instead of the counters
  std::optional<DiskCounters> counters;
  std::string labelText;
};

class DriveThreads {
 public:
  // Answers are posted to their mailbox as this message, the question in lParam.
  static constexpr UINT kAnswerMessage = WM_APP + 1;
  // How long the shared thread may be in one drive before the others leave it.
  static constexpr DWORD kPromptMilliseconds = 500;

  // Lives as long as the process: a thread may be in a call that never returns.
  static DriveThreads& instance();

  // Queued for the drive's own thread when it has one, else for the shared thread. False when
  // no thread could be made: the drive did not answer, posted as a thread would post it.
  bool ask(DriveQuestion* question);
  // Called now and then on the windows' thread while questions are out: a shared thread in one
  // drive for longer than the bound is left with it. True while the shared thread has work.
  bool checkStuck();

  struct Thread;

 private:
  DriveThreads();
  Thread* shared();  // made when missing; null when no thread can be made
  Thread* ownerOf(const std::string& root);
  Thread* start(const std::string& own);
  void hold(const std::string& root);
  void judgeHold(const std::string& root);
  void forgetIdleHolds(DWORD now);
  friend DWORD WINAPI askDrives(void*);
  DriveQuestion* next(Thread& thread);
  bool answered(Thread& thread, DriveQuestion* question);

  struct Hold {
    enum Worth { Unknown, Yes, No } worth = Unknown;  // whether the drive is one to hold
    HANDLE volume = INVALID_HANDLE_VALUE;
    DWORD lastAsked = 0;
  };

  static void letGo(Hold&);

  CRITICAL_SECTION lock_;
  std::vector<Thread*> threads_;
  std::map<std::string, Hold> holds_;  // by root
};

}  // namespace kv::win32
