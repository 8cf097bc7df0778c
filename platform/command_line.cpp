#include "platform/command_line.h"

#include <cstddef>

namespace velmaron {

namespace {

// Every control byte counts as white space between arguments, the way the
// classic command processors treat them; byte 0 never gets here.
bool IsSeparator(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 1 && byte <= 32;
}

// The next argument from pos on, empty when the line is used up. A line has
// no way to express an empty argument: "" where one would begin is dropped,
// and a lone quote at the very end yields nothing.
std::string NextArgument(const std::string& line, std::size_t& pos) {
  const std::size_t end = line.size();
  for (;;) {
    while (pos < end && IsSeparator(line[pos])) ++pos;
    if (pos + 1 < end && line[pos] == '"' && line[pos + 1] == '"') {
      pos += 2;
    } else {
      break;
    }
  }
  std::string argument;
  while (pos < end && !IsSeparator(line[pos])) {
    if (line[pos] == '"') {
      ++pos;
      while (pos < end && line[pos] != '"') argument += line[pos++];
      if (pos < end) ++pos;  // the closing quote
    } else {
      argument += line[pos++];
    }
  }
  return argument;
}

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& line) {
  // The line is a C string to the system: anything after a NUL is not part of it.
  const std::string text = line.substr(0, line.find('\0'));
  std::size_t pos = 0;
  NextArgument(text, pos);  // the program's own name
  std::vector<std::string> arguments;
  for (;;) {
    std::string argument = NextArgument(text, pos);
    if (argument.empty()) break;
    arguments.push_back(std::move(argument));
  }
  return arguments;
}

}  // namespace velmaron
