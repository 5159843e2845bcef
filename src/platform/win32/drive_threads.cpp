#include "platform/win32/drive_threads.h"

#include <algorithm>
#include <memory>

#include "platform/win32/scoped_handles.h"
#include "platform/win32/system_version.h"

namespace kv::win32 {

struct DriveThreads::Thread {
  explicit Thread(std::string root) : own(std::move(root)) {}
  std::string own;  // "" for the shared thread, else the one drive it is left with
  std::deque<DriveQuestion*> questions;
  DriveQuestion* asking = nullptr;  // in the system now
  DWORD askedAt = 0;
  OwnedHandle wake{CreateEventW(nullptr, FALSE, FALSE, nullptr)};  // set when a question comes
};

namespace {

constexpr SIZE_T kThreadStack = 64 * 1024;
// A drive's root stays open while it is asked (below); one not asked for this long is let go.
constexpr DWORD kHoldIdleMilliseconds = 3 * 60 * 1000;

struct Locked {
  explicit Locked(CRITICAL_SECTION& s) : section(s) { EnterCriticalSection(&section); }
  ~Locked() { LeaveCriticalSection(&section); }
  CRITICAL_SECTION& section;
};

void post(DriveQuestion* question) {
  if (!PostMessageW(question->mailbox, DriveThreads::kAnswerMessage, 0, reinterpret_cast<LPARAM>(question)))
    delete question;  // the mailbox is gone: the program is ending
}

// The calls that may block for seconds.
void putToSystem(DriveQuestion& question) {
  const std::string& root = question.root;
  if (question.label) {
    char label[MAX_PATH + 1] = {};
    // A drive that is not ready (no disk in it) has no label; critical errors fail silently.
    if (GetVolumeInformationA(root.c_str(), label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0))
      question.labelText = label;
    return;
  }
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
  if (GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters))
    question.counters = DiskCounters{sectorsPerCluster, bytesPerSector, freeClusters, totalClusters};
}

}  // namespace

DWORD WINAPI askDrives(void* parameter) {
  DriveThreads& threads = DriveThreads::instance();
  auto& thread = *static_cast<DriveThreads::Thread*>(parameter);
  for (;;) {
    DriveQuestion* question = threads.next(thread);
    if (!question) {
      WaitForSingleObject(thread.wake.get(), INFINITE);
      continue;
    }
    const std::string root = question->root;
    threads.hold(root);
    putToSystem(*question);
    if (!threads.answered(thread, question)) return 0;
    threads.judgeHold(root);
  }
}

DriveThreads& DriveThreads::instance() {
  static DriveThreads* threads = new DriveThreads;  // never freed, see above
  return *threads;
}

DriveThreads::DriveThreads() {
  InitializeCriticalSection(&lock_);
}

DriveThreads::Thread* DriveThreads::start(const std::string& own) {
  auto thread = std::make_unique<Thread>(own);
  if (!thread->wake.get()) return nullptr;
  const OwnedHandle running{
      CreateThread(nullptr, kThreadStack, &askDrives, thread.get(), STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr)};
  if (!running.get()) return nullptr;
  threads_.push_back(thread.release());
  return threads_.back();
}

DriveThreads::Thread* DriveThreads::shared() {
  for (Thread* thread : threads_)
    if (thread->own.empty()) return thread;
  return start("");
}

DriveThreads::Thread* DriveThreads::ownerOf(const std::string& root) {
  for (Thread* thread : threads_)
    if (thread->own == root) return thread;
  return nullptr;
}

bool DriveThreads::ask(DriveQuestion* question) {
  Locked held(lock_);
  Thread* thread = ownerOf(question->root);
  if (!thread) thread = shared();
  if (!thread) {
    post(question);
    return false;
  }
  thread->questions.push_back(question);
  SetEvent(thread->wake.get());
  return true;
}

DriveQuestion* DriveThreads::next(Thread& thread) {
  Locked held(lock_);
  if (thread.questions.empty()) return nullptr;
  thread.asking = thread.questions.front();
  thread.questions.pop_front();
  thread.askedAt = GetTickCount();
  return thread.asking;
}

// Posts the answer. A thread left with a slow drive ends once that drive has answered and nothing
// more waits for it: the drive's next question goes to the shared thread, which leaves it again
// if it is still slow (and the program asks a slow drive less and less often). False: the
// thread ends.
bool DriveThreads::answered(Thread& thread, DriveQuestion* question) {
  bool ending = false;
  {
    Locked held(lock_);
    thread.asking = nullptr;
    if (!thread.own.empty() && thread.questions.empty()) {
      threads_.erase(std::find(threads_.begin(), threads_.end(), &thread));
      ending = true;
    }
  }
  post(question);
  if (ending) delete &thread;
  return !ending;
}

bool DriveThreads::checkStuck() {
  Locked held(lock_);
  const DWORD now = GetTickCount();
  forgetIdleHolds(now);
  bool out = false;
  for (Thread* thread : std::vector<Thread*>(threads_)) {
    if (!thread->own.empty()) continue;  // a drive's own thread may take as long as it takes
    out = out || thread->asking || !thread->questions.empty();
    if (!thread->asking || now - thread->askedAt <= kPromptMilliseconds) continue;
    // The shared thread is left with this drive; the others' questions go to a fresh one.
    thread->own = thread->asking->root;
    std::deque<DriveQuestion*> others;
    auto mine = std::stable_partition(thread->questions.begin(), thread->questions.end(),
                                      [&](DriveQuestion* q) { return q->root == thread->own; });
    others.assign(mine, thread->questions.end());
    thread->questions.erase(mine, thread->questions.end());
    if (others.empty()) continue;
    if (Thread* fresh = shared()) {
      fresh->questions = std::move(others);
      SetEvent(fresh->wake.get());
    } else {  // no thread to be had: they wait where they were
      thread->questions.insert(thread->questions.end(), others.begin(), others.end());
    }
  }
  return out;
}

// Under Wine, each question that finds no file of the drive open makes the wineserver, which
// serves every Wine program from one thread, look the device up with a call that waits for the
// drive. Keeping the root open spares that look after the first. Windows has no such wait, and
// there a handle kept open would stand in the way of taking a drive away: nothing is held.
// Opened before the drive is asked anything else, since each call after it finds the device.
void DriveThreads::hold(const std::string& root) {
  if (!runsUnderWine()) return;
  {
    Locked held(lock_);
    Hold& hold = holds_[root];
    hold.lastAsked = GetTickCount();
    if (hold.volume != INVALID_HANDLE_VALUE || hold.worth == Hold::No) return;
  }
  HANDLE volume =
      CreateFileA(root.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (volume == INVALID_HANDLE_VALUE) return;
  Locked held(lock_);
  Hold& hold = holds_[root];
  if (hold.volume == INVALID_HANDLE_VALUE)
    hold.volume = volume;
  else
    CloseHandle(volume);  // another thread was quicker
}

// Once per drive, after its first answer (the drive's type is one more call that may wait):
// only a drive that nobody takes away stays held, never a stick or a disc, whose folder could
// not be unmounted while it is open.
void DriveThreads::judgeHold(const std::string& root) {
  if (!runsUnderWine()) return;
  {
    Locked held(lock_);
    if (holds_[root].worth != Hold::Unknown) return;
  }
  const UINT type = GetDriveTypeA(root.c_str());
  const bool worth = type == DRIVE_FIXED || type == DRIVE_REMOTE || type == DRIVE_RAMDISK;
  Locked held(lock_);
  Hold& hold = holds_[root];
  hold.worth = worth ? Hold::Yes : Hold::No;
  if (!worth) letGo(hold);
}

void DriveThreads::letGo(Hold& hold) {
  if (hold.volume != INVALID_HANDLE_VALUE) CloseHandle(hold.volume);
  hold.volume = INVALID_HANDLE_VALUE;
}

void DriveThreads::forgetIdleHolds(DWORD now) {
  for (auto& [root, hold] : holds_)
    if (now - hold.lastAsked > kHoldIdleMilliseconds) letGo(hold);
}

}  // namespace kv::win32
