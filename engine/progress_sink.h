#pragma once

#include <string>

#include "engine/run_outcomes.h"

namespace tailmend {

// What a repair run reports to, and the two options it reads from, whoever shows it.
class ProgressSink {
public:
  virtual ~ProgressSink() = default;

  virtual void SetCaption(const std::string& text) = 0;
  virtual void SetStepText(Step step, StepState state) = 0;
  // Appends a row; its number is the count of rows once it is added.
  virtual void AddEventRow(const std::string& file, const FileResult& result) = 0;
  virtual bool BackupRequested() = 0;
  virtual bool StopRequested() = 0;
  // Why a file went wrong. The window programs say it with their own texts and leave this out.
  virtual void ReportFailure(const std::string& file, const FileFailure& failure);
};

}  // namespace tailmend
