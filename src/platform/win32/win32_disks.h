#pragma once
// The disks port: free-space counters measured by one worker thread per drive, the answers
// posted back to a message-only window of the windows' thread; the drives present.
#include <map>
#include <memory>

#include "platform/disks.h"
#include "platform/failure.h"
#include "platform/win32/win32_api.h"

namespace kv::win32 {

class Win32Disks final : public Disks {
 public:
  // Failures of the program's answers are reported through this desktop and end the process.
  Win32Disks(Desktop& desktop, Process& process, FailureNotice notice);
  ~Win32Disks() override;
  Win32Disks(const Win32Disks&) = delete;
  Win32Disks& operator=(const Win32Disks&) = delete;

  void askFreeSpace(const std::string& root, Answer answer) override;
  std::vector<std::string> driveList() override;
  void askLabel(const std::string& root, LabelAnswer answer) override;

  struct Measure;  // one question, owned in turn by the worker's queue, the message queue, the window
  struct Worker;

 private:
  static LRESULT CALLBACK mailboxProcedure(HWND, UINT, WPARAM, LPARAM);
  HWND mailbox();  // made on the first question
  Worker* worker(const std::string& root);
  void deliver(const Measure&);
  void ask(const std::string& root, std::unique_ptr<Measure>);

  Desktop& desktop_;
  Process& process_;
  FailureNotice notice_;
  HWND mailbox_ = nullptr;
  unsigned long nextQuestion_ = 0;
  std::map<unsigned long, Answer> waiting_;  // by question; the answers stay on this thread
  std::map<unsigned long, LabelAnswer> labelsWaiting_;
  std::map<std::string, Worker*> workers_;  // by root; each lives as long as its thread
};

}  // namespace kv::win32
