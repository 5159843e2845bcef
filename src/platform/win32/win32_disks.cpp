#include "platform/win32/win32_disks.h"

#include <cctype>
#include <deque>
#include <memory>
#include <optional>
#include <utility>

#include "platform/win32/window_class.h"

namespace kv::win32 {

struct Win32Disks::Measure {
  HWND mailbox;
  unsigned long question;
  std::optional<DiskCounters> counters;
  bool label = false;  // a question for the label instead
  std::string labelText;
};

// A drive's own thread, made at its first question and kept for the process's life: a drive
// that never answers holds up nothing but itself, and after start-up the program makes no
// more threads. It is never freed: its thread may be stuck in a call that does not return.
struct Win32Disks::Worker {
  explicit Worker(std::string r) : root(std::move(r)) { InitializeCriticalSection(&lock); }

  void queue(std::unique_ptr<Measure> measure) {
    {
      Locked held(lock);
      questions.push_back(measure.get());
    }
    measure.release();  // the queue's now
    SetEvent(wake);
  }

  Measure* next() {
    Locked held(lock);
    if (questions.empty()) return nullptr;
    Measure* measure = questions.front();
    questions.pop_front();
    return measure;
  }

  struct Locked {
    explicit Locked(CRITICAL_SECTION& s) : section(s) { EnterCriticalSection(&section); }
    ~Locked() { LeaveCriticalSection(&section); }
    CRITICAL_SECTION& section;
  };

  const std::string root;
  HANDLE wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  CRITICAL_SECTION lock;
  std::deque<Measure*> questions;
};

namespace {

constexpr UINT kAnswerMessage = WM_APP + 1;  // lParam: the Measure, now the window's
constexpr wchar_t kMailboxClass[] = L"Kestrovan99Disks";
constexpr SIZE_T kWorkerStack = 64 * 1024;
constexpr size_t kDriveLetters = 26;

// The answer goes home; when the mailbox is gone (the program is ending) it is dropped here.
void post(Win32Disks::Measure* measure) {
  if (!PostMessageW(measure->mailbox, kAnswerMessage, 0, reinterpret_cast<LPARAM>(measure))) delete measure;
}

// The call that may block for seconds, one question after another.
DWORD WINAPI work(void* parameter) {
  Win32Disks::Worker& worker = *static_cast<Win32Disks::Worker*>(parameter);
  for (;;) {
    WaitForSingleObject(worker.wake, INFINITE);
    while (Win32Disks::Measure* measure = worker.next()) {
      DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
      char label[MAX_PATH + 1] = {};
      // A drive that is not ready (no disk in it) has no label; critical errors fail silently.
      if (measure->label &&
          GetVolumeInformationA(worker.root.c_str(), label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0))
        measure->labelText = label;
      if (!measure->label &&
          GetDiskFreeSpaceA(worker.root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters))
        measure->counters = DiskCounters{sectorsPerCluster, bytesPerSector, freeClusters, totalClusters};
      post(measure);
    }
  }
}

}  // namespace

Win32Disks::Win32Disks(Desktop& desktop, Process& process, FailureNotice notice)
    : desktop_(desktop), process_(process), notice_(std::move(notice)) {}

Win32Disks::~Win32Disks() {
  if (!mailbox_) return;
  SetWindowLongPtrW(mailbox_, GWLP_USERDATA, 0);
  MSG message;
  while (PeekMessageW(&message, mailbox_, kAnswerMessage, kAnswerMessage, PM_REMOVE))
    delete reinterpret_cast<Measure*>(message.lParam);
  DestroyWindow(mailbox_);
}

HWND Win32Disks::mailbox() {
  if (mailbox_) return mailbox_;
  HINSTANCE module = GetModuleHandleW(nullptr);
  registerWindowClass(windowClass(module, kMailboxClass, &mailboxProcedure),
                      "The window class for the drives' answers could not be registered.");
  mailbox_ = CreateWindowExW(0, kMailboxClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module, nullptr);
  if (!mailbox_) throw Failure("The window for the drives' answers could not be created.");
  SetWindowLongPtrW(mailbox_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  return mailbox_;
}

Win32Disks::Worker* Win32Disks::worker(const std::string& root) {
  Worker*& slot = workers_[root];
  if (slot) return slot;
  auto made = std::make_unique<Worker>(root);
  HANDLE thread =
      made->wake ? CreateThread(nullptr, kWorkerStack, &work, made.get(), STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr)
                 : nullptr;
  if (!thread) {  // asked again at the drive's next question
    if (made->wake) CloseHandle(made->wake);
    DeleteCriticalSection(&made->lock);
    workers_.erase(root);
    return nullptr;
  }
  CloseHandle(thread);
  return slot = made.release();  // the thread's now
}

void Win32Disks::askFreeSpace(const std::string& root, Answer answer) {
  auto measure = std::make_unique<Measure>(Measure{mailbox(), ++nextQuestion_, std::nullopt, false, {}});
  waiting_[measure->question] = std::move(answer);
  ask(root, std::move(measure));
}

void Win32Disks::askLabel(const std::string& root, LabelAnswer answer) {
  auto measure = std::make_unique<Measure>(Measure{mailbox(), ++nextQuestion_, std::nullopt, true, {}});
  labelsWaiting_[measure->question] = std::move(answer);
  ask(root, std::move(measure));
}

void Win32Disks::ask(const std::string& root, std::unique_ptr<Measure> measure) {
  if (Worker* drive = worker(root)) {
    drive->queue(std::move(measure));
    return;
  }
  // No thread to ask on: the drive did not answer, said as a worker would say it, later.
  post(measure.release());
}

LRESULT CALLBACK Win32Disks::mailboxProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kAnswerMessage) return DefWindowProcW(hwnd, message, wParam, lParam);
  std::unique_ptr<Measure> measure(reinterpret_cast<Measure*>(lParam));
  if (auto* disks = reinterpret_cast<Win32Disks*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA))) disks->deliver(*measure);
  return 0;
}

void Win32Disks::deliver(const Measure& measure) {
  if (measure.label) {
    auto found = labelsWaiting_.find(measure.question);
    if (found == labelsWaiting_.end()) return;
    LabelAnswer answer = std::move(found->second);
    labelsWaiting_.erase(found);
    atEntry(
        desktop_, process_, notice_, [&] { answer(measure.labelText); }, UnderBox::Runs);
    return;
  }
  auto found = waiting_.find(measure.question);
  if (found == waiting_.end()) return;
  Answer answer = std::move(found->second);
  waiting_.erase(found);
  // Not an entry that a message box drops: the program keeps the answer and decides itself
  // what waits for the box.
  atEntry(
      desktop_, process_, notice_, [&] { answer(measure.counters); }, UnderBox::Runs);
}

std::vector<std::string> Win32Disks::driveList() {
  std::vector<std::string> drives;
  // "c:\" and its NUL per drive letter, then the closing NUL, and a NUL the system is never given.
  char roots[kDriveLetters * sizeof "c:\\" + 2] = {};
  const DWORD length = GetLogicalDriveStringsA(sizeof roots - 1, roots);
  if (length == 0 || length >= sizeof roots) return drives;
  for (const char* root = roots; *root; root += lstrlenA(root) + 1)
    drives.push_back({static_cast<char>(std::tolower(static_cast<unsigned char>(root[0]))), ':'});
  return drives;
}

}  // namespace kv::win32
