#pragma once

#include <windows.h>

#include <vector>

#include "platform/folder_listing.h"

namespace tailmend {

// Appends the entries of one buffer the system filled with FILE_ID_BOTH_DIR_INFO records, "." and
// ".." left out: where a listed name leaves UTF-16 for the program's own spelling of it.
void AppendListedEntries(const unsigned char* records, DWORD volumeSerial, std::vector<FolderEntry>& entries);

}  // namespace tailmend
