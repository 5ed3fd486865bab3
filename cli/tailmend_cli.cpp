// tailmend-cli: the repair of the window program, for scripts and large batches.
#include <cstdio>

#include "cli/console_report.h"
#include "cli/file_arguments.h"
#include "cli/options.h"
#include "engine/engine.h"
#include "generated/version.h"
#include "platform/command_line.h"
#include "platform/file_stream.h"
#include "platform/platform_error.h"

namespace {

using namespace tailmend;

constexpr int kExitAllWell = 0;
constexpr int kExitSomeFailed = 1;
constexpr int kExitUsage = 2;

std::string CheckEvent(const std::string& path) {
  auto stream = FileStream::OpenReadSharedRead(path);
  const TailResult tail = FindFileTail(stream);
  return tail < 0 ? FailureEventText(tail) : "Tail at " + std::to_string(tail);
}

// One file at a time, so that an error on one file does not end the batch.
void RunFile(const std::string& path, const CliOptions& options, ConsoleReport& report) {
  try {
    if (options.check) {
      report.AddEventRow(path, CheckEvent(path));
    } else {
      ProcessFiles({path}, report);
    }
  } catch (const PlatformError& error) {
    report.ReportError(error.what());
  }
}

int Run(const CliOptions& options) {
  // Every folder is walked before any file is changed, so that backups made during the run are
  // never taken for photos.
  const FileArguments arguments = ExpandFileArguments(options.files);
  for (const std::string& message : arguments.messages) {
    std::fprintf(stderr, "tailmend-cli: %s\n", message.c_str());
  }
  ConsoleReport report(options.backup);
  InstallInterruptHandler();
  for (const std::string& path : arguments.files) {
    if (report.StopRequested() || report.BackupFailed()) break;
    RunFile(path, options, report);
  }
  // A file left out by a stop did not end well either.
  const bool everyFileSeen = report.FilesReported() == arguments.files.size();
  return report.AllWell() && everyFileSeen && arguments.complete ? kExitAllWell : kExitSomeFailed;
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  const auto options = ParseOptions(CommandLineArguments(argc, argv), error);
  if (!options) {
    std::fprintf(stderr, "tailmend-cli: %s\n%s", error.c_str(), kUsageText);
    return kExitUsage;
  }
  if (options->help) {
    std::fputs(kUsageText, stdout);
    return kExitAllWell;
  }
  if (options->version) {
    std::printf("tailmend-cli %s\n", kFileVersion);
    return kExitAllWell;
  }
  return Run(*options);
}
