#include "cli/options.h"

namespace tailmend {

const char* const kUsageText =
    "Usage: tailmend-cli [--backup] [--check] [--] FILE|FOLDER...\n"
    "Cuts the extra bytes after the end of Canon CRW files, in place.\n"
    "A FOLDER stands for every file below it whose name ends in .crw (any case), in sorted order;\n"
    "symbolic links to folders inside it are not followed, backup copies (NAME_bakN.crw) and\n"
    "entries that are not regular files are skipped with a message on stderr.\n"
    "\n"
    "  --backup   write a numbered backup (NAME_bak0.crw, ...) beside each file before cutting it\n"
    "  --check    change nothing; report \"Tail at L\" for each file that would be cut to L bytes\n"
    "  --help     show this text\n"
    "  --version  show the version\n"
    "\n"
    "Prints one line per file: number, file and event, separated by tabs.\n"
    "In file names, tabs, line breaks and other control characters are printed as \\t, \\n, \\r\n"
    "or \\xHH, and a backslash that is part of a name as \\\\ (on Windows backslashes stay as they are).\n"
    "Ctrl-C stops before the next file.\n"
    "Exit status: 0 when every file ended \"Done\" or \"No file tail\", 1 otherwise (also when a run\n"
    "was stopped, a folder could not be read or an entry was not a regular file), 2 for a usage error.\n";

namespace {

bool ApplyOption(const std::string& argument, CliOptions& options) {
  if (argument == "--backup") options.backup = true;
  else if (argument == "--check") options.check = true;
  else if (argument == "--help") options.help = true;
  else if (argument == "--version") options.version = true;
  else return false;
  return true;
}

}  // namespace

std::optional<CliOptions> ParseOptions(const std::vector<std::string>& arguments, std::string& error) {
  CliOptions options;
  std::size_t next = 0;
  for (; next < arguments.size(); ++next) {
    const std::string& argument = arguments[next];
    if (argument == "--") {
      ++next;
      break;
    }
    if (argument.size() < 2 || argument[0] != '-') break;
    if (!ApplyOption(argument, options)) {
      error = "unknown option " + argument;
      return std::nullopt;
    }
  }
  options.files.assign(arguments.begin() + static_cast<std::ptrdiff_t>(next), arguments.end());
  if (options.files.empty() && !options.help && !options.version) {
    error = "no files given";
    return std::nullopt;
  }
  return options;
}

}  // namespace tailmend
