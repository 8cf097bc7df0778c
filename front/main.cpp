// The program's entry: the platform hands over its arguments, settings,
// console and file system, and the front end does the rest.
#include <exception>

#include "front/run_program.h"
#include "platform/host.h"

int main(int argc, char** argv) {
  using namespace velmaron;
  std::unique_ptr<Console> console;
  try {
    console = OpenConsole();
    const std::unique_ptr<DiskInterface> disk = OpenDisk();
    ProgramHost host{CommandLineArguments(argc, argv), ReadSystemSettings(), CurrentStamp, *console,
                     *disk, SlashArgumentNamesPath};
    const int code = RunProgram(host);
    console->Flush();
    return code;
  } catch (const std::exception& e) {
    // Whatever standard output still holds goes out before the report.
    if (console) console->Flush();
    ReportUnhandled(e.what());
  } catch (...) {
    if (console) console->Flush();
    ReportUnhandled("unknown exception");
  }
  return 1;
}
