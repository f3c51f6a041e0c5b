// How far a long job is, on standard error: a bar redrawn in place a few times a second on
// a terminal, or a plain line at every tenth of the way when the output goes to a file.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>

namespace orchard {

class ProgressMeter {
 public:
  // `terminal`: redraw one line in place; otherwise print a line per tenth.
  ProgressMeter(std::FILE* out, std::int64_t total, bool terminal);

  void Update(std::int64_t done);
  // The last state, drawn once more and ended with a newline on a terminal.
  void Finish(std::int64_t done);

 private:
  using Clock = std::chrono::steady_clock;
  void Draw(std::int64_t done);

  std::FILE* out_;
  std::int64_t total_;
  bool terminal_;
  Clock::time_point start_ = Clock::now();
  Clock::time_point lastDraw_{};
  std::int64_t lastTenth_ = 0;
};

}  // namespace orchard
