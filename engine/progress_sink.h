#pragma once

#include <string>

namespace tailmend {

// What a repair run reports to, and the two options it reads from, whoever shows it.
class ProgressSink {
public:
  virtual ~ProgressSink() = default;

  virtual void SetCaption(const std::string& text) = 0;
  // step is 1 (find the tail), 2 (backup) or 3 (cut); an empty text clears it.
  virtual void SetStepText(int step, const std::string& text) = 0;
  // Appends a row; its number is the count of rows once it is added.
  virtual void AddEventRow(const std::string& file, const std::string& event) = 0;
  virtual bool BackupRequested() = 0;
  virtual bool StopRequested() = 0;
};

}  // namespace tailmend
