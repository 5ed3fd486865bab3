#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/cli/cli_runner_posix.h"

namespace tailmend::test {

namespace {

namespace fs = std::filesystem;

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// What a file holds; nothing of a device such as /dev/full, which reads as endless zeros.
std::string Slurp(const fs::path& path) {
  if (!fs::is_regular_file(path)) return "";
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Beside the temporary folders the tests make, readable by whoever the program runs as.
fs::path OutputFile(const char* name) { return fs::temp_directory_path() / (std::to_string(::getpid()) + name); }

}  // namespace

CliRun RunCliWith(const std::vector<std::string>& arguments, const std::string& launcher,
                  const std::string& stdoutPath) {
  std::string command = launcher + " " + Quoted(TAILMEND_CLI);
  for (const auto& argument : arguments) command += " " + Quoted(argument);
  const fs::path err = OutputFile(".stderr.txt");
  command += " >" + Quoted(stdoutPath) + " 2>" + Quoted(err.string()) + " </dev/null";
  const int raw = std::system(command.c_str());
  CliRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(stdoutPath), Slurp(err), ""};
  fs::remove(err);
  TakeSummary(run);
  return run;
}

CliRun RunCli(const std::vector<std::string>& arguments) {
  const fs::path out = OutputFile(".stdout.txt");
  CliRun run = RunCliWith(arguments, "", out.string());
  fs::remove(out);
  return run;
}

const char* const kLineEnd = "\n";

}  // namespace tailmend::test
