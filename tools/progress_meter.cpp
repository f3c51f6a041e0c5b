#include "tools/progress_meter.h"

#include <string>

namespace orchard {

namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(250);
constexpr int kBarWidth = 24;

std::string MinutesSeconds(double seconds) {
  const long whole = seconds > 0 ? static_cast<long>(seconds + 0.5) : 0;
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
  return text;
}

}  // namespace

ProgressMeter::ProgressMeter(std::FILE* out, std::int64_t total, bool terminal)
    : out_(out), total_(total > 0 ? total : 1), terminal_(terminal) {}

void ProgressMeter::Update(std::int64_t done) {
  if (terminal_) {
    const auto now = Clock::now();
    if (now - lastDraw_ < kRedrawInterval) return;
    lastDraw_ = now;
    Draw(done);
  } else if (const std::int64_t tenth = done * 10 / total_; tenth > lastTenth_) {
    lastTenth_ = tenth;
    Draw(done);
  }
}

void ProgressMeter::Finish(std::int64_t done) {
  if (terminal_) {
    Draw(done);
    std::fputc('\n', out_);
  } else if (done * 10 / total_ > lastTenth_) {
    Draw(done);
  }
  std::fflush(out_);
}

void ProgressMeter::Draw(std::int64_t done) {
  const double elapsed = std::chrono::duration<double>(Clock::now() - start_).count();
  const double rate = elapsed > 0 ? static_cast<double>(done) / elapsed : 0;
  const std::string left =
      rate > 0 ? MinutesSeconds(static_cast<double>(total_ - done) / rate) : std::string("-:--");
  const int percent = static_cast<int>(done * 100 / total_);
  if (terminal_) {
    const int filled = static_cast<int>(done * kBarWidth / total_);
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.resize(kBarWidth, '.');
    std::fprintf(out_, "\r[%s] %3d%%  %lld/%lld frames  %.1f fps  %s left\x1b[K", bar.c_str(),
                 percent, static_cast<long long>(done), static_cast<long long>(total_), rate,
                 left.c_str());
  } else {
    std::fprintf(out_, "orchard capture: %d%%  %lld/%lld frames  %.1f fps  %s left\n", percent,
                 static_cast<long long>(done), static_cast<long long>(total_), rate, left.c_str());
  }
  std::fflush(out_);
}

}  // namespace orchard
