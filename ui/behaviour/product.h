#pragma once

#include <string>

#include "generated/version.h"

namespace tailmend {

// The program's title: the main window's caption and the caption of every error box.
inline constexpr const char* kProgramTitle = kProductName;
// The maker's data-recovery site ("Data Recovery") and the product's home page (the About box).
inline constexpr const char* kDataRecoverySite = "http://www.tailmend.example/";
inline constexpr const char* kHomePage = "http://www.tailmend.example/tailmend.htm";
inline constexpr const char* kCopyrightLine = kCopyright;

// The About box's version line, "Version 1.0 ", trailing blank included.
std::string AboutVersionText();

}  // namespace tailmend
