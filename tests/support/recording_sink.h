#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/progress_sink.h"

namespace tailmend::test {

// Writes down every call of a run, in order, as short lines in the texts a window shows:
// "caption X", "step N X", "row N F E"; and keeps the rows and failures as the run gave them.
class RecordingSink final : public ProgressSink {
public:
  struct Row {
    std::string file;
    FileResult result;
  };

  bool backup = false;
  // StopRequested answers true from this call on (counting from 0); never by default.
  int stopFromCall = -1;
  std::vector<std::string> calls;
  std::vector<Row> rows;
  std::vector<std::pair<Step, StepState>> steps;
  std::vector<std::pair<std::string, FileFailure>> failures;
  // Called after each step text is noted, as another program might act meanwhile.
  std::function<void(Step, StepState)> onStep;

  void SetCaption(const std::string& text) override { calls.push_back("caption " + text); }
  void SetStepText(Step step, StepState state) override {
    calls.push_back("step " + std::to_string(static_cast<int>(step) + 1) + " " + std::string(StepStateText(state)));
    steps.emplace_back(step, state);
    if (onStep) onStep(step, state);
  }
  void AddEventRow(const std::string& file, const FileResult& result) override {
    rows.push_back({file, result});
    calls.push_back("row " + std::to_string(rows.size()) + " " + file + " " + std::string(EventText(result.event)));
  }
  bool BackupRequested() override { return backup; }
  bool StopRequested() override { return stopFromCall >= 0 && stopCalls_++ >= stopFromCall; }
  void ReportFailure(const std::string& file, const FileFailure& failure) override {
    failures.emplace_back(file, failure);
  }

  std::vector<Event> Events() const {
    std::vector<Event> events;
    for (const Row& row : rows) events.push_back(row.result.event);
    return events;
  }

private:
  int stopCalls_ = 0;
};

}  // namespace tailmend::test
