// The process's side of Windows: the raw command line, the clock, the console
// handles and the report of a crash.
#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

#include "platform/command_line.h"
#include "platform/host.h"

namespace velmaron {

namespace {

// WriteFile rather than stdio: the program writes its own CR LF and must not
// see it doubled by a text-mode stream.
void WriteHandle(HANDLE handle, const char* data, std::size_t size) {
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
  while (size > 0) {
    const DWORD chunk = size > 0x10000 ? 0x10000 : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(handle, data, chunk, &written, nullptr) || written == 0) return;
    data += written;
    size -= written;
  }
}

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return GetConsoleMode(handle, &mode) || GetFileType(handle) == FILE_TYPE_CHAR;
}

class Win32Console final : public Console {
 public:
  Win32Console()
      : output_handle_(GetStdHandle(STD_OUTPUT_HANDLE)),
        input_handle_(GetStdHandle(STD_INPUT_HANDLE)),
        output_([this](const char* data, std::size_t size) { WriteHandle(output_handle_, data, size); },
                IsConsole(output_handle_)),
        input_([this](char* buffer, std::size_t capacity) -> std::size_t {
          if (input_handle_ == nullptr || input_handle_ == INVALID_HANDLE_VALUE) return 0;
          const DWORD wanted = capacity > 0x10000 ? 0x10000 : static_cast<DWORD>(capacity);
          DWORD read = 0;
          if (!ReadFile(input_handle_, buffer, wanted, &read, nullptr)) return 0;
          return read;
        }) {}
  ~Win32Console() override { output_.Flush(); }

  void Write(std::string_view text) override { output_.Write(text); }
  void EndLine() override { output_.EndLine(); }
  void Flush() override { output_.Flush(); }
  std::string ReadLine() override { return input_.ReadLine(); }
  void Beep() override { MessageBeep(0); }

 private:
  HANDLE output_handle_;
  HANDLE input_handle_;
  BufferedOutput output_;
  LineReader input_;
};

}  // namespace

// argv has already been through the C run-time's own quoting rules, which
// treat backslashes before a quote as escapes; our rules need the raw line.
std::vector<std::string> CommandLineArguments(int, char**) {
  const char* line = GetCommandLineA();
  return SplitCommandLine(line != nullptr ? std::string(line) : std::string());
}

// "/" always starts an option here: Windows paths begin with a drive, a
// backslash or a name, so no path is shadowed.
bool SlashArgumentNamesPath(const std::string&) { return false; }

TStamp CurrentStamp() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return CombineDateTime(EncodeDate(now.wYear, now.wMonth, now.wDay),
                         EncodeTime(now.wHour, now.wMinute, now.wSecond, now.wMilliseconds));
}

std::unique_ptr<Console> OpenConsole() { return std::make_unique<Win32Console>(); }

void ReportUnhandled(const char* what) {
  std::string line = "Exception: ";
  line += what != nullptr ? what : "";
  line += "\r\n";
  WriteHandle(GetStdHandle(STD_ERROR_HANDLE), line.data(), line.size());
}

}  // namespace velmaron
