#pragma once
// The free space of one drive slot, in the short form of the tray tooltip (c:1856MB) and the
// long form of the drive window and tray menu (c: 1856.25 MB).
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "platform/disks.h"
#include "platform/process.h"

namespace kv {

// The text up to its first colon, then a backslash: "d: [data]" and "d:" give d:\, a text
// without a colon gives a lone backslash.
std::string driveRoot(const std::string& text);

// A drive is asked beside the windows: a figure is the drive's latest answer (nothing free
// before its first), and each refresh asks again a drive whose last question has come back,
// never one still waiting, so a slow drive holds up nothing but its own figure. A drive that
// keeps not answering, or answering late, is asked less and less often, at most a minute apart,
// and at every refresh again once it answers in time.
class FreeSpace {
 public:
  using Taker = std::function<void(const std::string& root, const std::optional<DiskCounters>& answer)>;

  FreeSpace(Disks& disks, Process& process) : disks_(disks), process_(process) {}

  // A slot's figure, short (c:1856MB) or long (c: 1856.25 MB), from its root's latest answer.
  std::string shortfree(const std::string& slot);
  std::string longfree(const std::string& slot);

  // Who gets each answer; it must hand it to take(). Until set, answers are only taken.
  void whenAnswered(Taker taker) { taker_ = std::move(taker); }
  // The drive's figure from now on (nothing free when it did not answer); its next refresh
  // may ask again. True when the figure changed.
  bool take(const std::string& root, const std::optional<DiskCounters>& answer);
  // Drives came or went: a drive in a pause is asked at the next refresh (a disc put in).
  void askAllAgain() {
    for (auto& [root, drive] : drives_) drive.misses = 0;
  }

  // While one lives, the figures are the latest answers and nothing is asked: views refreshed
  // because an answer came must not ask again, or every answer would bring another.
  class AnswersOnly {
   public:
    explicit AnswersOnly(FreeSpace& space) : space_(space), was_(space.asking_) { space.asking_ = false; }
    ~AnswersOnly() { space_.asking_ = was_; }
    AnswersOnly(const AnswersOnly&) = delete;
    AnswersOnly& operator=(const AnswersOnly&) = delete;

   private:
    FreeSpace& space_;
    bool was_;
  };

 private:
  struct Drive {
    DiskCounters counters;
    bool waiting = false;
    unsigned askedAt = 0;  // by the process's clock
    unsigned misses = 0;   // answers in a row that were none or late
    unsigned answeredAt = 0;
  };
  bool due(const Drive&) const;
  // The slot's drive, asked again unless it is still waiting or in a pause; also returns the
  // prefix (the text up to its first colon).
  const Drive& query(const std::string& slot, std::string& prefix);

  Disks& disks_;
  Process& process_;
  Taker taker_;
  std::map<std::string, Drive> drives_;  // by root
  bool asking_ = true;
};

}  // namespace kv
