// A console that records what the program writes and serves scripted input.
#pragma once

#include <string>

#include "platform/console.h"

namespace velmaron::testing {

class RecordingConsole : public Console {
 public:
  explicit RecordingConsole(std::string input = {}) : input_(std::move(input)) {}
  void Write(std::string_view text) override { output += text; }
  void EndLine() override { output += "\r\n"; }
  void Flush() override {}
  std::string ReadLine() override {
    ++linesRead;
    const auto end = input_.find('\n');
    std::string line = input_.substr(0, end);
    input_.erase(0, end == std::string::npos ? input_.size() : end + 1);
    return line;
  }
  void Beep() override { ++beeps; }

  std::string output;
  int beeps = 0;
  int linesRead = 0;

 private:
  std::string input_;
};

}  // namespace velmaron::testing
