#pragma once

#include "engine/progress_sink.h"
#include "engine/types.h"

namespace tailmend {

// The event text of a locator code: "No file tail", "Invalid crw file" or "Unknown error".
const char* FailureEventText(TailResult code);

// Repairs the files in order: finds each tail, backs the file up when asked, cuts it. A file that
// cannot be opened or cut raises PlatformError and ends the run.
void ProcessFiles(const FileList& files, ProgressSink& sink);

}  // namespace tailmend
