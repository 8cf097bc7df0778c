// What the platform hands the program at start: its own name left out.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/console.h"
#include "platform/disk_interface.h"
#include "platform/settings.h"
#include "platform/stamp.h"

namespace velmaron {

// The arguments after the program's name; empty arguments never appear.
std::vector<std::string> CommandLineArguments(int argc, char** argv);
// Whether an argument beginning with "/" names an existing entry and so is a
// path, not an option (POSIX absolute paths; always false on Windows).
bool SlashArgumentNamesPath(const std::string& arg);
// The current local date and time, with milliseconds.
TStamp CurrentStamp();
// The process's console: standard output, standard input, the beep.
std::unique_ptr<Console> OpenConsole();
// The platform's real file system.
std::unique_ptr<DiskInterface> OpenDisk();
// Writes the report of an unexpected exception on standard error.
void ReportUnhandled(const char* what);

}  // namespace velmaron
