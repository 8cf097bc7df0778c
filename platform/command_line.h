// Splitting a raw command line into arguments.
#pragma once

#include <string>
#include <vector>

namespace velmaron {

// Bytes 1 to 32 separate; a double quote opens a stretch ended by the next
// quote or the end, both quotes dropped; no escapes; empty arguments never
// appear. The first argument (the program's name) is dropped.
std::vector<std::string> SplitCommandLine(const std::string& line);

}  // namespace velmaron
