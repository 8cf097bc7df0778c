// The POSIX process: arguments from argv, the console on file descriptors 0-2,
// the clock, and the real file system.
#include <signal.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/host.h"
#include "platform/posix/posix_disk.h"

namespace velmaron {
namespace {

void WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // output errors are not reported
    data += n;
    size -= static_cast<std::size_t>(n);
  }
}

std::size_t ReadSome(int fd, char* buffer, std::size_t capacity) {
  for (;;) {
    const ssize_t n = read(fd, buffer, capacity);
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno != EINTR) return 0;  // a failed read ends the line quietly
  }
}

class PosixConsole : public Console {
 public:
  PosixConsole()
      : output_([](const char* data, std::size_t size) { WriteAll(STDOUT_FILENO, data, size); },
                isatty(STDOUT_FILENO) == 1),
        input_([](char* buffer, std::size_t capacity) { return ReadSome(STDIN_FILENO, buffer, capacity); }) {}
  ~PosixConsole() override { output_.Flush(); }
  void Write(std::string_view text) override { output_.Write(text); }
  void EndLine() override { output_.EndLine(); }
  void Flush() override { output_.Flush(); }
  std::string ReadLine() override { return input_.ReadLine(); }
  void Beep() override {
    // The bell goes to the terminal, never into redirected standard output.
    if (isatty(STDERR_FILENO) == 1) WriteAll(STDERR_FILENO, "\a", 1);
  }

 private:
  BufferedOutput output_;
  LineReader input_;
};

}  // namespace

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    if (argv[i][0] != '\0') args.emplace_back(argv[i]);
  }
  return args;
}

bool SlashArgumentNamesPath(const std::string& arg) {
  struct stat st;
  return lstat(arg.c_str(), &st) == 0;
}

TStamp CurrentStamp() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  const int milliseconds = static_cast<int>(now.tv_nsec / 1000000);
  return CombineDateTime(EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday),
                         EncodeTime(local.tm_hour, local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec,
                                    milliseconds));
}

std::unique_ptr<Console> OpenConsole() {
  // A reader that goes away must not end the run: writes just fail quietly.
  signal(SIGPIPE, SIG_IGN);
  return std::make_unique<PosixConsole>();
}

std::unique_ptr<DiskInterface> OpenDisk() { return std::make_unique<PosixDisk>(); }

void ReportUnhandled(const char* what) {
  std::string line = "velmaron: ";
  line += what;
  line += '\n';
  WriteAll(STDERR_FILENO, line.data(), line.size());
}

}  // namespace velmaron
