#pragma once

#include <initializer_list>
#include <string>
#include <vector>

namespace tailmend::test {

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
  // The line that closes stderr after a run, taken out of err (empty when there was none).
  std::string summary;
};

// Moves the run's summary line from the end of err into summary.
void TakeSummary(CliRun& run);

// Runs tailmend-cli with these arguments the way the system's own programs start it (a shell on
// POSIX, CreateProcessW with a wide command line on Windows), with its output in files.
CliRun RunCli(const std::vector<std::string>& arguments);

// How the system's C runtime ends a line of text ("\r\n" on Windows); each runner says.
extern const char* const kLineEnd;

// Text as the program prints it: the lines, each with its end.
std::string Lines(std::initializer_list<std::string> lines);

}  // namespace tailmend::test
