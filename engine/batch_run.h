#pragma once

#include "engine/progress_sink.h"
#include "engine/run_outcomes.h"
#include "engine/types.h"

namespace tailmend {

// Repairs the files in order: finds each tail, backs the file up when asked, and cuts it if it is
// still the file that was scanned. A stop asked for before a file or during a long scan (the file
// is then left as it is, without a row) and a failed backup end the run;
// a file that cannot be opened, changed meanwhile or cannot be cut ends it or is reported, as the
// policy says (ending it, the PlatformError passes out to the caller).
RunEnd ProcessFiles(const FileList& files, ProgressSink& sink, const RunPolicy& policy = {});

}  // namespace tailmend
