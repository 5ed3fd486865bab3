#pragma once

#include <string>
#include <string_view>

namespace tailmend {

// A file name as the report prints it: tabs, line breaks and other control characters become
// \t, \n, \r or \xHH, so that every file stays one line of tab-separated fields. Backslashes are
// doubled where they can be part of a name, which keeps the escaped form unambiguous.
std::string EscapedName(std::string_view name);

}  // namespace tailmend
