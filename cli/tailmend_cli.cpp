// tailmend-cli: the repair of the window program, for scripts and large batches.
#include <string>

#include "cli/console_report.h"
#include "cli/options.h"
#include "engine/engine.h"
#include "engine/folder_walk.h"
#include "generated/version.h"
#include "platform/command_line.h"
#include "platform/standard_output.h"

namespace {

using namespace tailmend;

constexpr int kExitAllWell = 0;
constexpr int kExitSomeFailed = 1;
constexpr int kExitUsage = 2;

int Run(const CliOptions& options) {
  const FileArguments arguments = ExpandFileArguments(options.files);
  ConsoleReport report(options.backup, options.json ? ReportFormat::Json : ReportFormat::Table);
  for (const WalkNote& note : arguments.notes) report.ReportNote(note);
  InstallInterruptHandler();
  // An error on one file is that file's: the batch goes on with the next.
  const RunPolicy policy{OnFileError::ReportAndGoOn, options.check, options.out};
  const RunEnd end = ProcessFiles(arguments.files, report, policy);
  const bool reportWhole = report.Finish(arguments.files.size());
  // A file left out by a stop did not end well either.
  return report.AllWell() && end == RunEnd::Finished && arguments.Complete() && reportWhole ? kExitAllWell
                                                                                          : kExitSomeFailed;
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  const auto options = ParseOptions(CommandLineArguments(argc, argv), error);
  if (!options) {
    WriteOutput(OutputStream::Error, "tailmend-cli: " + error + "\n" + kUsageText);
    return kExitUsage;
  }
  if (options->help) {
    WriteOutput(OutputStream::Out, kUsageText);
    return kExitAllWell;
  }
  if (options->version) {
    WriteOutput(OutputStream::Out, std::string("tailmend-cli ") + kFileVersion + "\n");
    return kExitAllWell;
  }
  return Run(*options);
}
