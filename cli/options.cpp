#include "cli/options.h"

#include "cli/escaped_name.h"

namespace tailmend {

const char* const kUsageText =
    "Usage: tailmend-cli [OPTION]... [--] FILE|FOLDER...\n"
    "Cuts the extra bytes after the end of Canon CRW files, in place.\n"
    "Options may come before, between or after the names; after -- every word is a name.\n"
    "A FOLDER stands for every file below it whose name ends in .crw (any case), in sorted order.\n"
    "Symbolic links inside it, to files or folders, are never followed, and backup copies\n"
    "(NAME_bakN.crw) and entries that are not regular files are skipped, each with a message on\n"
    "stderr; a FILE or FOLDER named here that is a symbolic link is followed.\n"
    "\n"
    "  --backup   write a numbered backup (NAME_bak0.crw, ...) beside each file before cutting it\n"
    "  --check    change nothing; report \"Tail at L\" for each file that would be cut to L bytes\n"
    "  --out DIR  leave every original as it is, and write each repaired file into DIR instead:\n"
    "             a FILE as DIR/NAME, a file found below a FOLDER at its path below that FOLDER,\n"
    "             in folders made no more open than the ones they stand for; a name already\n"
    "             taken in DIR, or a symbolic link below DIR, is reported and left alone\n"
    "  --json     print one JSON object per file, with what the file was found to be (see below)\n"
    "  --help     show this text\n"
    "  --version  show the version\n"
    "\n"
    "Prints one line per file: number, file and event, separated by tabs; with --json one object\n"
    "per line instead: file, event, verdict (healthy, repairable, heap-damaged, not-repairable,\n"
    "read-failed), size, length, junk, trailer_kept, reason, damage, original_name, capture_time\n"
    "and failure. A summary line on stderr closes every run.\n"
    "In file names, tabs, line breaks and other control characters are printed as \\t, \\n, \\r\n"
    "or \\xHH, and a backslash that is part of a name as \\\\ (on Windows backslashes stay as they are).\n"
    "Each failure is one line on stderr: the file's name (escaped the same way), what failed, and\n"
    "the system's reason. A file that another program changes while it is being repaired is not cut\n"
    "(with --out, not written).\n"
    "Ctrl-C stops before the next file, or in the long scan of one before anything in it is changed;\n"
    "a file so stopped is left as it is and counted as not reached.\n"
    "Exit status: 0 when every file ended \"Done\" or \"No file tail\", 1 otherwise (also when a run\n"
    "was stopped, a failure was reported, something in a folder could not be read or was skipped as\n"
    "not a regular file or a link, or the report could not be written), 2 for a usage error.\n";

namespace {

const std::string kOutOption = "--out";

bool ApplyOption(const std::string& argument, CliOptions& options) {
  if (argument == "--backup") options.backup = true;
  else if (argument == "--check") options.check = true;
  else if (argument == "--help") options.help = true;
  else if (argument == "--json") options.json = true;
  else if (argument == "--version") options.version = true;
  else return false;
  return true;
}

bool IsOutOption(const std::string& argument) {
  return argument == kOutOption || argument.starts_with(kOutOption + "=");
}

// The folder of "--out=DIR", or of "--out DIR" (the next word, whatever it is, which k then
// passes); empty when there is none.
std::string OutFolder(const std::vector<std::string>& arguments, std::size_t& k) {
  const std::string& argument = arguments[k];
  if (argument != kOutOption) return argument.substr(kOutOption.size() + 1);
  return ++k < arguments.size() ? arguments[k] : std::string();
}

}  // namespace

// Options may stand before, between and after the names, as in most GNU programs; "--" ends them,
// and every word after it is a name, even one that begins with a dash.
std::optional<CliOptions> ParseOptions(const std::vector<std::string>& arguments, std::string& error) {
  CliOptions options;
  bool optionsEnded = false;
  for (std::size_t k = 0; k < arguments.size(); ++k) {
    const std::string& argument = arguments[k];
    if (optionsEnded || argument.empty() || argument[0] != '-') {
      options.files.push_back(argument);
    } else if (argument == "--") {
      optionsEnded = true;
    } else if (IsOutOption(argument)) {
      options.out = OutFolder(arguments, k);
      // An empty folder would mean repairing in place, the one thing --out is there to avoid.
      if (options.out.empty()) {
        error = "--out needs a folder";
        return std::nullopt;
      }
    } else if (!ApplyOption(argument, options)) {
      error = "unknown option " + EscapedName(argument) + " (a name that begins with a dash goes after --)";
      return std::nullopt;
    }
  }
  if (options.files.empty() && !options.help && !options.version) {
    error = "no files given";
    return std::nullopt;
  }
  if (!options.out.empty() && options.backup) {
    error = "--out and --backup do not go together: --out never changes an original";
    return std::nullopt;
  }
  return options;
}

}  // namespace tailmend
