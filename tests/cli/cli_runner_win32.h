#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/cli/cli_runner.h"

namespace tailmend::test {

// Where the program under test lies.
std::wstring CliPath();

// Starts tailmend-cli as RunCli does, with these inheritable handles as its standard output and
// standard error, and returns its exit status once it has ended.
int RunCliOn(const std::vector<std::string>& arguments, HANDLE output, HANDLE error);

}  // namespace tailmend::test
