#pragma once
// The disks port: questions put to the drives by the drive threads, their answers posted back
// to a message-only window of the windows' thread; the drives present.
#include <map>
#include <vector>

#include "platform/disks.h"
#include "platform/win32/drive_threads.h"
#include "platform/win32/entry_rule.h"

namespace kv::win32 {

class Win32Disks final : public Disks {
 public:
  // Each answer reaches the program as an entry of its own (it runs under a message box too).
  explicit Win32Disks(EntryRunner& entries) : entries_(entries) {}
  ~Win32Disks() override;
  Win32Disks(const Win32Disks&) = delete;
  Win32Disks& operator=(const Win32Disks&) = delete;

  void askFreeSpace(const std::string& root, Answer answer) override;
  std::vector<std::string> driveList() override;
  void askLabel(const std::string& root, LabelAnswer answer) override;

 private:
  static LRESULT CALLBACK mailboxProcedure(HWND, UINT, WPARAM, LPARAM);
  HWND mailbox();  // made on the first question
  void ask(DriveQuestion*);
  void deliver(const DriveQuestion&);
  void askEarlyQuestions();

  EntryRunner& entries_;
  HWND mailbox_ = nullptr;
  bool loopRunning_ = false;           // the mailbox has had its first message
  std::vector<DriveQuestion*> early_;  // asked before it, not yet put to a thread
  bool checking_ = false;              // the mailbox's timer looks for a stuck drive while questions are out
  unsigned long nextQuestion_ = 0;
  std::map<unsigned long, Answer> waiting_;  // by question; the answers stay on this thread
  std::map<unsigned long, LabelAnswer> labelsWaiting_;
};

}  // namespace kv::win32
