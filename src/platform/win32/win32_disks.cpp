#include "platform/win32/win32_disks.h"

#include <cctype>
#include <memory>
#include <optional>
#include <utility>

namespace kv::win32 {

struct Win32Disks::Measure {
  HWND mailbox;
  unsigned long question;
  std::string root;
  std::optional<DiskCounters> counters;
};

namespace {

constexpr UINT kAnswerMessage = WM_APP + 1;  // lParam: the Measure, now the window's
constexpr wchar_t kMailboxClass[] = L"Kestrovan99Disks";

// On a pool thread: the call that may block for seconds, then the answer posted home. When the
// mailbox is gone (the program is ending) the question is dropped here.
DWORD WINAPI measureFreeSpace(void* parameter) {
  auto* measure = static_cast<Win32Disks::Measure*>(parameter);
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
  if (GetDiskFreeSpaceA(measure->root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters))
    measure->counters = DiskCounters{sectorsPerCluster, bytesPerSector, freeClusters, totalClusters};
  if (!PostMessageW(measure->mailbox, kAnswerMessage, 0, reinterpret_cast<LPARAM>(measure))) delete measure;
  return 0;
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
  WNDCLASSEXW kind{};
  kind.cbSize = sizeof kind;
  kind.lpfnWndProc = &mailboxProcedure;
  kind.hInstance = module;
  kind.lpszClassName = kMailboxClass;
  if (!RegisterClassExW(&kind) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw Failure("The window class for the drives' answers could not be registered.");
  mailbox_ = CreateWindowExW(0, kMailboxClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module, nullptr);
  if (!mailbox_) throw Failure("The window for the drives' answers could not be created.");
  SetWindowLongPtrW(mailbox_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  return mailbox_;
}

void Win32Disks::askFreeSpace(const std::string& root, Answer answer) {
  auto measure = std::make_unique<Measure>(Measure{mailbox(), ++nextQuestion_, root, std::nullopt});
  waiting_[measure->question] = std::move(answer);
  if (QueueUserWorkItem(&measureFreeSpace, measure.get(), WT_EXECUTELONGFUNCTION)) {
    measure.release();  // the pool's now
    return;
  }
  // No thread to ask on: the drive did not answer, said as the pool would say it, later.
  if (PostMessageW(measure->mailbox, kAnswerMessage, 0, reinterpret_cast<LPARAM>(measure.get()))) measure.release();
}

LRESULT CALLBACK Win32Disks::mailboxProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kAnswerMessage) return DefWindowProcW(hwnd, message, wParam, lParam);
  std::unique_ptr<Measure> measure(reinterpret_cast<Measure*>(lParam));
  if (auto* disks = reinterpret_cast<Win32Disks*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA))) disks->deliver(*measure);
  return 0;
}

void Win32Disks::deliver(const Measure& measure) {
  auto found = waiting_.find(measure.question);
  if (found == waiting_.end()) return;
  Answer answer = std::move(found->second);
  waiting_.erase(found);
  // Not an entry that a message box drops: the program keeps the answer and decides itself
  // what waits for the box.
  atAnswer(desktop_, process_, notice_, [&] { answer(measure.counters); });
}

std::vector<std::string> Win32Disks::driveList() {
  std::vector<std::string> drives;
  char roots[26 * 4 + 2] = {};  // "c:\" and a NUL per drive letter, then the closing NUL
  const DWORD length = GetLogicalDriveStringsA(sizeof roots - 1, roots);
  if (length == 0 || length >= sizeof roots) return drives;
  for (const char* root = roots; *root; root += lstrlenA(root) + 1) {
    std::string entry;
    entry += static_cast<char>(std::tolower(static_cast<unsigned char>(root[0])));
    entry += ':';
    // A drive that is not ready (no disk in it) has no label; critical errors fail silently.
    char label[MAX_PATH + 1] = {};
    if (GetVolumeInformationA(root, label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0) && label[0]) {
      entry += " [";
      entry += label;
      entry += ']';
    }
    drives.push_back(entry);
  }
  return drives;
}

}  // namespace kv::win32
