#include "front/run_program.h"

#include <array>
#include <chrono>
#include <cmath>
#include <utility>

#include "engine/touch.h"
#include "platform/date_format.h"

namespace velmaron {
namespace {

// What the argument scan gathers; everything false or empty at start.
struct ProgramState {
  bool Recurse = false;
  bool UseCurrentTime = false;
  bool UseNewest = false;
  bool ReadPiped = false;
  std::string DirectoryArg;
  std::string StampText;
  TStamp StampValue = MaxStamp;
};

std::string UpperCase(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

bool IsHelpOption(const std::string& arg) {
  if (arg == "/?" || arg == "-?") return true;
  const std::string upper = UpperCase(arg);
  return upper == "/H" || upper == "/VERSION" || upper == "--VERSION";
}

bool ScanFlag(const std::string& arg, ProgramState& state) {
  const std::string upper = UpperCase(arg);
  if (upper == "/S") return state.Recurse = true;
  if (upper == "/C" || upper == "/T") return state.UseCurrentTime = true;
  if (upper == "/N") return state.UseNewest = true;
  if (upper == "/P") return state.ReadPiped = true;
  return false;
}

void TakePlainArgument(const std::string& arg, ProgramState& state) {
  if (state.DirectoryArg.empty()) {
    state.DirectoryArg = arg;
  } else if (state.StampText.empty()) {
    state.StampText = arg;
  } else {
    state.StampText += ' ';
    state.StampText += arg;
  }
}

int YearOf(TStamp moment) { return DecodeStamp(moment).Year; }

void ChooseStamp(ProgramHost& host, ProgramState& state) {
  if (state.ReadPiped && !state.UseCurrentTime) state.StampText = host.Con.ReadLine();
  if (state.UseCurrentTime) {
    state.StampValue = host.Now();
  } else if (state.StampText.empty()) {
    state.StampValue = MaxStamp;
  } else {
    state.StampValue = ParseStamp(state.StampText, host.Settings, YearOf(host.Now()));
  }
}

void ReportInvalidStamp(ProgramHost& host, const ProgramState& state) {
  host.Con.Beep();
  host.Con.Write("Invalid timestamp: '");
  host.Con.Write(state.StampText);
  host.Con.Write("'.");
  host.Con.EndLine();
  host.Con.EndLine();
  ShowUsage(host.Con, host.Settings);
}

}  // namespace

void ReplaceFirst(std::string& S, const std::string& Find, const std::string& Repl) {
  const auto pos = S.find(Find);
  if (pos != std::string::npos) S.replace(pos, Find.size(), Repl);
}

std::string FormatHint(const TFormatSettings& settings) {
  const TStamp sample = EncodeDate(3333, 11, 12) + EncodeTime(13, 44, 55, 0);
  std::string hint = FormatDefault(sample, settings);
  static const std::array<std::pair<const char*, const char*>, 6> kCodes{{
      {"3333", "YYYY"}, {"11", "MM"}, {"12", "DD"}, {"13", "HH"}, {"44", "NN"}, {"55", "SS"}}};
  for (const auto& [find, repl] : kCodes) ReplaceFirst(hint, find, repl);
  return hint;
}

void ShowUsage(Console& console, const TFormatSettings& settings) {
  static const char* const kHead[] = {
      "VELMARON   Timestamp Touch Utility      Version 1.4.1   2008-06-15",
      "",
      "Changes the creation/last modification timestamp of a subdirectory to the",
      "creation/last modification timestamp of the oldest file of that directory,",
      "or a given timestamp.",
      "The directory name must not contain blanks (bracket syntax is not supported).",
      "",
      "Syntax: VELMARON <directory> [/S] [/T] [/N] [timestamp]",
      "        timestamp | VELMARON <directory> /P [/S] [/T] [/N]",
      "",
      "Optional parameters:",
      "  /S - process also sub-directories (default off)",
      "  /T - use current timestamp (default off)",
      "  /N - use the newest instead of the oldest timestamp",
      "  /P - use timestamp from piped input",
      "  timestamp - a given timestamp in your actual system timestamp format",
      ""};
  for (const char* line : kHead) {
    console.Write(line);
    console.EndLine();
  }
  console.Write("Your system timestamp format is: '");
  console.Write(FormatHint(settings));
  console.Write("'.");
  console.EndLine();
  console.Write("(DD = day, MM = month, YYYY = year, HH = hours, NN = minutes, SS = seconds)");
  console.EndLine();
  for (int i = 0; i < 5; ++i) console.EndLine();
}

int RunProgram(ProgramHost& host) {
  ProgramState state;
  for (const std::string& arg : host.Arguments) {
    if (arg.empty()) continue;  // the platforms never pass one; nothing to scan
    if (IsHelpOption(arg)) {
      ShowUsage(host.Con, host.Settings);
      return 0;
    }
    if (ScanFlag(arg, state)) continue;
    if (arg.front() == '/' && !host.IsPathArgument(arg)) continue;  // unknown options are ignored
    TakePlainArgument(arg, state);
  }
  if (state.DirectoryArg.empty()) {
    ShowUsage(host.Con, host.Settings);
    return 2;
  }
  try {
    ChooseStamp(host, state);
    TouchDirectory(host.Disk, host.Con, state.DirectoryArg, state.Recurse, state.UseNewest,
                   state.StampValue);
  } catch (const EConvertError&) {
    ReportInvalidStamp(host, state);
  }
  return 0;
}

}  // namespace velmaron
