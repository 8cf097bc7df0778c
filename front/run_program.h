// The command front end: the argument scan, the choice of timestamp, the run of
// the engine and the usage screen.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/console.h"
#include "platform/disk_interface.h"
#include "platform/settings.h"
#include "platform/stamp.h"

namespace velmaron {

struct ProgramHost {
  std::vector<std::string> Arguments;  // without the program's name
  TFormatSettings Settings;
  std::function<TStamp()> Now;
  Console& Con;
  DiskInterface& Disk;
  // Whether an argument beginning with "/" is a path rather than an option
  // (absolute paths on POSIX); such an argument is taken as a plain one.
  std::function<bool(const std::string&)> IsPathArgument = [](const std::string&) { return false; };
};

// The whole run; returns the exit code (0, or 2 when no directory is named).
int RunProgram(ProgramHost& host);

// The 24-line usage screen with the format hint of the settings.
void ShowUsage(Console& console, const TFormatSettings& settings);

// Replaces the first occurrence of Find in S (byte-wise) by Repl.
void ReplaceFirst(std::string& S, const std::string& Find, const std::string& Repl);

// The settings' default rendering of 12 November 3333 13:44:55 with its
// fields replaced by letter codes, e.g. "DD.MM.YYYY HH:NN:SS".
std::string FormatHint(const TFormatSettings& settings);

}  // namespace velmaron
