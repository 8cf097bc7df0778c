// SplitCommandLine on any line: no argument is empty or holds a quote or a
// NUL; without quotes the split is the plain one at bytes 1..32; and quoting
// each argument rebuilds a line that splits back to the same arguments.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "platform/command_line.h"

using namespace velmaron;

namespace {

bool IsSeparator(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 1 && byte <= 32;
}

// The words between separators, the first (the program's name) left out.
std::vector<std::string> PlainSplit(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  for (const char c : text + ' ') {
    if (!IsSeparator(c)) {
      word += c;
    } else if (!word.empty()) {
      words.push_back(word);
      word.clear();
    }
  }
  if (!words.empty()) words.erase(words.begin());
  return words;
}

std::string Join(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& w : words) text += "[" + w + "]";
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> args = SplitCommandLine(line);
  const std::string text = line.substr(0, line.find('\0'));

  std::size_t total = 0;
  for (const std::string& arg : args) {
    if (arg.empty()) fuzz::Fail("empty argument from", line);
    if (arg.find('"') != std::string::npos) fuzz::Fail("quote kept in", arg);
    if (arg.find('\0') != std::string::npos) fuzz::Fail("NUL kept in", arg);
    total += arg.size();
  }
  if (total > text.size()) fuzz::Fail("arguments longer than the line", line);

  if (text.find('"') == std::string::npos && args != PlainSplit(text))
    fuzz::Fail("quote-free line split differently:", Join(args) + " vs " + Join(PlainSplit(text)));

  // Quoted, any argument survives a second split unchanged.
  std::string rebuilt = "\"prog name\"";
  for (const std::string& arg : args) rebuilt += " \"" + arg + "\"";
  if (SplitCommandLine(rebuilt) != args) fuzz::Fail("quoted arguments split differently:", Join(args));
  return 0;
}
