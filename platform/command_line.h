#pragma once

#include <string>
#include <vector>

namespace tailmend {

// The program's arguments after its own name, as UTF-8, whatever code page the system uses.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

}  // namespace tailmend
