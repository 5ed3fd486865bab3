#pragma once

#include <string>
#include <vector>

#include "engine/progress_sink.h"
#include "engine/types.h"

namespace tailmend::test {

// Writes down every call of a run, in order, as short lines: "caption X", "step N X", "row N F E".
class RecordingSink final : public ProgressSink {
public:
  bool backup = false;
  // StopRequested answers true from this call on (counting from 0); never by default.
  int stopFromCall = -1;
  std::vector<std::string> calls;
  std::vector<EventRow> rows;

  void SetCaption(const std::string& text) override { calls.push_back("caption " + text); }
  void SetStepText(int step, const std::string& text) override {
    calls.push_back("step " + std::to_string(step) + " " + text);
  }
  void AddEventRow(const std::string& file, const std::string& event) override {
    rows.push_back({std::to_string(rows.size() + 1), file, event});
    calls.push_back("row " + rows.back().number + " " + file + " " + event);
  }
  bool BackupRequested() override { return backup; }
  bool StopRequested() override { return stopFromCall >= 0 && stopCalls_++ >= stopFromCall; }

private:
  int stopCalls_ = 0;
};

}  // namespace tailmend::test
