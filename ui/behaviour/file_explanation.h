#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/run_outcomes.h"

namespace tailmend {

// What the windows say of one file once a run has dealt with it: its row's result (none for a file
// that failed without a row) and the failure beside it or in its place.

// The state a row's icon shows at a glance.
enum class FileState {
  Repaired,       // cut after its data (or, checked, it would be)
  Healthy,        // it ends where its data ends: nothing to do
  DamagedInside,  // broken inside its data, cut or not
  NotRepairable,  // no end to cut at, or no CRW file at all: left as it was
  Failed,         // a read, the backup, the cut or the opening failed
};

FileState StateOf(const std::optional<FileResult>& result, const std::optional<FileFailure>& failure);

// The name of the state's icon among the program's pictures: "state_repaired", ... Each is drawn
// from assets/NAME.svg at 16 and 32 pixels.
std::string_view StateIconName(FileState state);

// One plain sentence of what the file is and what was done with it, e.g. "Repaired: 1,048,576 bytes
// of junk cut after the photo's data; backup IMG_0042_bak0.crw" or "Not a CRW file: it is a JPEG".
std::string FileSentence(const std::optional<FileResult>& result, const std::optional<FileFailure>& failure);

// What a row of the event list says when the mouse rests on it: the file's full path, and on the
// line below its sentence.
std::string FileTooltip(const std::string& file, const std::optional<FileResult>& result,
                        const std::optional<FileFailure>& failure);

// A count of bytes with its thousands grouped: "1,048,576".
std::string GroupedNumber(std::uint64_t number);

// Where a damage lies: the tags of the entries from the root directory down to the one at fault,
// "0x300a/0x2007"; empty for a fault of the root directory's own.
std::string EntryPath(const HeapDamage& damage);

}  // namespace tailmend
