#pragma once

#include <string>
#include <vector>

#include "tests/cli/cli_runner.h"

namespace tailmend::test {

// As RunCli, started through launcher (words before the program, such as "setpriv ..." or
// "timeout 60"), with its standard output going to stdoutPath.
CliRun RunCliWith(const std::vector<std::string>& arguments, const std::string& launcher,
                  const std::string& stdoutPath);

}  // namespace tailmend::test
