#pragma once

#include <QColor>
#include <optional>
#include <vector>

namespace tailmend {

// The \colortbl of a document. Entry 0 is as a rule empty, the automatic colour; an empty entry
// anywhere means "automatic".
class RtfColourTable {
public:
  void SetRed(int value);
  void SetGreen(int value);
  void SetBlue(int value);
  // A ';' closes the entry being read.
  void EndEntry();

  // The colour of entry index; none for the automatic colour or an index past the table.
  std::optional<QColor> Colour(int index) const;

private:
  static constexpr std::size_t kMaxEntries = 1024;

  std::vector<std::optional<QColor>> entries_;
  int red_ = 0;
  int green_ = 0;
  int blue_ = 0;
  bool anyComponent_ = false;
};

}  // namespace tailmend
