#include "platform/win32/win32_disks.h"

#include <cctype>
#include <memory>
#include <utility>

#include "platform/failure.h"
#include "platform/win32/window_class.h"

namespace kv::win32 {

namespace {

constexpr wchar_t kMailboxClass[] = L"Kestrovan99Disks";
constexpr UINT_PTR kStuckTimer = 1;
constexpr UINT kStuckCheckMilliseconds = DriveThreads::kPromptMilliseconds / 2;
constexpr size_t kDriveLetters = 26;
// The mailbox's first message: the questions asked before the program's message loop ran go out.
constexpr UINT kFirstQuestionsMessage = DriveThreads::kAnswerMessage + 1;

}  // namespace

Win32Disks::~Win32Disks() {
  if (!mailbox_) return;
  SetWindowLongPtrW(mailbox_, GWLP_USERDATA, 0);
  MSG message;
  while (PeekMessageW(&message, mailbox_, DriveThreads::kAnswerMessage, DriveThreads::kAnswerMessage, PM_REMOVE))
    delete reinterpret_cast<DriveQuestion*>(message.lParam);
  for (DriveQuestion* question : early_) delete question;
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

void Win32Disks::askFreeSpace(const std::string& root, Answer answer) {
  auto* question = new DriveQuestion{mailbox(), ++nextQuestion_, root, false, std::nullopt, {}};
  waiting_[question->id] = std::move(answer);
  ask(question);
}

void Win32Disks::askLabel(const std::string& root, LabelAnswer answer) {
  auto* question = new DriveQuestion{mailbox(), ++nextQuestion_, root, true, std::nullopt, {}};
  labelsWaiting_[question->id] = std::move(answer);
  ask(question);
}

void Win32Disks::ask(DriveQuestion* question) {
  // The first questions wait for the message loop: the drive threads' calls into the system
  // would otherwise compete with the making of the windows, which the user waits for, and no
  // answer could be shown before the loop runs anyway.
  if (!loopRunning_) {
    if (early_.empty()) PostMessageW(mailbox_, kFirstQuestionsMessage, 0, 0);
    early_.push_back(question);
    return;
  }
  if (DriveThreads::instance().ask(question) && !checking_)
    checking_ = SetTimer(mailbox_, kStuckTimer, kStuckCheckMilliseconds, nullptr) != 0;
}

LRESULT CALLBACK Win32Disks::mailboxProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* disks = reinterpret_cast<Win32Disks*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (message) {
    case DriveThreads::kAnswerMessage: {
      std::unique_ptr<DriveQuestion> question(reinterpret_cast<DriveQuestion*>(lParam));
      if (disks) disks->deliver(*question);
      return 0;
    }
    case kFirstQuestionsMessage:
      if (disks) disks->askEarlyQuestions();
      return 0;
    case WM_TIMER:
      if (wParam == kStuckTimer && !DriveThreads::instance().checkStuck()) {
        KillTimer(hwnd, kStuckTimer);
        if (disks) disks->checking_ = false;
      }
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

void Win32Disks::askEarlyQuestions() {
  loopRunning_ = true;
  std::vector<DriveQuestion*> early;
  early.swap(early_);
  for (DriveQuestion* question : early) ask(question);
}

void Win32Disks::deliver(const DriveQuestion& question) {
  // Not entries that a message box drops: the program keeps the answers and decides itself what
  // waits for the box.
  if (question.label) {
    auto found = labelsWaiting_.find(question.id);
    if (found == labelsWaiting_.end()) return;
    LabelAnswer answer = std::move(found->second);
    labelsWaiting_.erase(found);
    entries_.runEntry([&] { answer(question.labelText); }, UnderBox::Runs);
    return;
  }
  auto found = waiting_.find(question.id);
  if (found == waiting_.end()) return;
  Answer answer = std::move(found->second);
  waiting_.erase(found);
  entries_.runEntry([&] { answer(question.counters); }, UnderBox::Runs);
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
