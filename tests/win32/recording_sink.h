#pragma once

#include <string>
#include <utility>
#include <vector>

#include "engine/progress_sink.h"

namespace tailmend::test {

// Keeps the rows a run adds; the step texts and captions are the portable tests' business.
class RecordingSink : public ProgressSink {
public:
  explicit RecordingSink(bool backup) : backup_(backup) {}

  void SetCaption(const std::string&) override {}
  void SetStepText(int, const std::string&) override {}
  void AddEventRow(const std::string& file, const std::string& event) override { rows.emplace_back(file, event); }
  bool BackupRequested() override { return backup_; }
  bool StopRequested() override { return false; }

  std::vector<std::pair<std::string, std::string>> rows;

private:
  bool backup_;
};

}  // namespace tailmend::test
