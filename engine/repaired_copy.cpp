#include "engine/repaired_copy.h"

#include <algorithm>
#include <vector>

#include "engine/file_copy.h"
#include "platform/held_folder.h"
#include "platform/path_names.h"
#include "platform/system_error_text.h"

namespace tailmend {

namespace {

// The names of a relative path, outermost first: its folders, then its file.
std::vector<std::string> NamesOf(std::string path) {
  std::vector<std::string> names;
  while (!path.empty()) {
    const std::size_t start = FileNameStart(path);
    names.push_back(path.substr(start));
    path.resize(start == 0 ? 0 : start - 1);
  }
  std::reverse(names.begin(), names.end());
  return names;
}

struct CopyPlace {
  HeldFolder folder;
  std::string name;
};

// The output folder stands for the folder the photo was found in, and each folder below it for
// the photo's folder of the same name there.
CopyPlace EnterPlaceOf(const SelectedFile& selected, const std::string& outputFolder) {
  if (selected.relativeName.empty()) {
    return {HeldFolder::OpenMaking(outputFolder, std::nullopt), FileNameOf(selected.path)};
  }
  const std::vector<std::string> names = NamesOf(selected.relativeName);
  std::string source = selected.path.substr(0, selected.path.size() - selected.relativeName.size());
  HeldFolder folder = HeldFolder::OpenMaking(outputFolder, source);
  for (std::size_t k = 0; k + 1 < names.size(); ++k) {
    source = PathInFolder(source, names[k]);
    folder.Enter(names[k], source);
  }
  return {std::move(folder), names.back()};
}

}  // namespace

bool WriteRepairedCopy(FileStream& photo, const FileStamp& scanned, std::int64_t length, const SelectedFile& selected,
                       const std::string& outputFolder) {
  const CopyPlace place = EnterPlaceOf(selected, outputFolder);
  TemporaryCopy copy(place.folder, place.name);
  // The photo is checked again once copied: bytes another program changed meanwhile could have
  // been read half before and half after the change.
  if (CopyUpTo(photo, copy.Stream(), length) != length || photo.Stamp() != scanned) return false;
  photo.CopyAttributesTo(copy.Stream());
  if (!copy.GiveName(place.name)) {
    throw InTheWayError(place.folder.PathOf(place.name),
                        place.folder.IsLink(place.name) ? kASymbolicLink : kAlreadyThere);
  }
  place.folder.Flush();
  return true;
}

}  // namespace tailmend
