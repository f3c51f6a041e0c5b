#include "tools/video_encoder.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace orchard {

namespace {

// Spawns the program with `args`, standard input from `input` (-1: /dev/null). The child
// gets a process group of its own, so that Ctrl+C in the terminal reaches only us and we
// decide how ffmpeg ends; SIGINT and SIGPIPE are back at their defaults there.
pid_t Spawn(const std::vector<std::string>& args, int input, std::string* error) {
  const std::string program = FfmpegProgram();
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (input >= 0)
    posix_spawn_file_actions_adddup2(&actions, input, STDIN_FILENO);
  else
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGINT);
  sigaddset(&defaults, SIGPIPE);
  sigaddset(&defaults, SIGTERM);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  pid_t pid = -1;
  const int result = posix_spawnp(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (result != 0) {
    *error = "cannot run " + program + ": " + std::strerror(result);
    return -1;
  }
  return pid;
}

// Waits for the child; true when it exited with 0.
bool Reap(pid_t pid, std::string* error) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) {
      *error = std::string("cannot wait for ffmpeg: ") + std::strerror(errno);
      return false;
    }
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
  *error = WIFEXITED(status) ? "ffmpeg failed with exit code " + std::to_string(WEXITSTATUS(status))
                             : "ffmpeg was ended by signal " + std::to_string(WTERMSIG(status));
  return false;
}

}  // namespace

std::string FfmpegProgram() {
  const char* chosen = std::getenv("ORCHARD_FFMPEG");
  return chosen != nullptr && *chosen != '\0' ? chosen : "ffmpeg";
}

bool RunFfmpeg(const std::vector<std::string>& args, std::string* error) {
  const pid_t pid = Spawn(args, -1, error);
  return pid > 0 && Reap(pid, error);
}

std::vector<std::string> EncodeArguments(const VideoEncoder::Settings& settings) {
  const std::string size = std::to_string(settings.width) + "x" + std::to_string(settings.height);
  const std::string rate = std::to_string(settings.rate.num) + "/" + std::to_string(settings.rate.den);
  return {
      "-hide_banner", "-loglevel", "error", "-nostdin", "-y",
      // The frames: exactly this size and rate, nothing guessed.
      "-f", "rawvideo", "-pix_fmt", "rgb24", "-video_size", size, "-framerate", rate,
      "-i", "pipe:0",
      "-i", settings.audioWav,
      "-map", "0:v:0", "-map", "1:a:0",
      // HD pictures are shown as BT.709 by players; convert and label them so.
      "-vf", "scale=out_color_matrix=bt709:out_range=tv",
      "-c:v", "libx264", "-profile:v", "high", "-pix_fmt", "yuv420p", "-preset", "veryfast",
      "-crf", "18", "-colorspace", "bt709", "-color_primaries", "bt709", "-color_trc", "bt709",
      "-color_range", "tv",
      "-c:a", "aac", "-b:a", "192k", "-ar", "48000",
      "-movflags", "+faststart", "-f", "mp4", settings.output,
  };
}

std::unique_ptr<VideoEncoder> VideoEncoder::Start(const Settings& settings, std::string* error) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    *error = std::string("cannot make a pipe: ") + std::strerror(errno);
    return nullptr;
  }
  const pid_t pid = Spawn(EncodeArguments(settings), fds[0], error);
  close(fds[0]);
  if (pid <= 0) {
    close(fds[1]);
    return nullptr;
  }
  // A bigger pipe lets ffmpeg take a whole frame at once; a failure only costs speed.
  fcntl(fds[1], F_SETPIPE_SZ, 1 << 20);
  return std::unique_ptr<VideoEncoder>(new VideoEncoder(pid, fds[1]));
}

VideoEncoder::~VideoEncoder() {
  if (pid_ <= 0) return;
  kill(pid_, SIGKILL);
  if (input_ >= 0) close(input_);
  std::string ignored;
  Reap(pid_, &ignored);
}

bool VideoEncoder::WriteFrame(std::span<const std::uint8_t> rgb) {
  if (input_ < 0) return false;
  std::size_t done = 0;
  while (done < rgb.size()) {
    const ssize_t n = write(input_, rgb.data() + done, rgb.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;  // EPIPE: ffmpeg is gone
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool VideoEncoder::Finish(std::string* error) {
  if (input_ >= 0) close(input_);
  input_ = -1;
  const pid_t pid = pid_;
  pid_ = -1;
  return Reap(pid, error);
}

}  // namespace orchard
