#include "engine/repaired_copy.h"

#include "engine/file_copy.h"
#include "platform/folder_listing.h"
#include "platform/path_names.h"

namespace tailmend {

CopyOutcome WriteRepairedCopy(FileStream& photo, const FileStamp& scanned, std::int64_t length,
                              const std::string& destination) {
  MakeFolders(destination.substr(0, FileNameStart(destination)));
  TemporaryCopy copy(destination);
  // The photo is checked again once copied: bytes another program changed meanwhile could have
  // been read half before and half after the change.
  if (CopyUpTo(photo, copy.Stream(), length) != length || photo.Stamp() != scanned) return CopyOutcome::SourceChanged;
  photo.CopyAttributesTo(copy.Stream());
  if (!copy.GiveName(destination)) return CopyOutcome::NameTaken;
  FlushFolderOf(destination);
  return CopyOutcome::Written;
}

}  // namespace tailmend
