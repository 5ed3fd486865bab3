#pragma once

#include <string>
#include <string_view>

#include "engine/progress_sink.h"
#include "engine/types.h"

namespace tailmend {

// What the processing dialog shows and reads, as each toolkit's dialog provides it.
class ProcessingView {
public:
  virtual ~ProcessingView() = default;

  virtual void SetCaption(const std::string& text) = 0;
  // The text of one of the dialog's controls, by its design name: a step's status or the button.
  virtual void SetControlText(std::string_view control, const std::string& text) = 0;
  // Appends a row to the main window's event list.
  virtual void AppendEventRow(const std::string& file, const std::string& event) = 0;
  // Whether the main window's backup box is ticked now.
  virtual bool BackupChecked() = 0;
};

// The processing dialog's side of a run: the ProgressSink it provides, over its view, and StopFlag,
// which is both the stop request the run reads and the permission to close, with what the one
// button does:
//   running          StopFlag false  "Stop"   press: ask to stop   close box: refused
//   stop requested   StopFlag true   "Stop"   press: ask again     close box: closes
//   finished         StopFlag true   "Close"  press: close         close box: closes
class ProcessingProgress final : public ProgressSink {
public:
  explicit ProcessingProgress(ProcessingView& view) : view_(view) {}

  // FormShow: runs the repair with StopFlag false and finishes with it true and "Close" on the
  // button. An error that leaves the run leaves the dialog running, with "Stop".
  void Run(const FileList& files);
  // Button1Click: true when the press closes the dialog; otherwise it asked the run to stop.
  bool Press();
  // FormCloseQuery: the close box, Escape and the button all close only when this allows it.
  bool MayClose() const { return StopFlag; }

  void SetCaption(const std::string& text) override;
  void SetStepText(Step step, StepState state) override;
  void AddEventRow(const std::string& file, const FileResult& result) override;
  bool BackupRequested() override;
  bool StopRequested() override { return StopFlag; }

private:
  ProcessingView& view_;
  bool StopFlag = false;
  bool finished_ = false;
};

}  // namespace tailmend
