#pragma once

#include <string>

#include "engine/progress_sink.h"
#include "engine/types.h"

namespace tailmend {

// The processing dialog's caption until the run sets one.
inline constexpr const char* kProcessingStartCaption = "Processing 0 of 0";

// What the processing dialog knows besides its drawing: StopFlag, which is both the stop request
// the run reads and the permission to close, and what its one button says and does.
//   running          StopFlag false  "Stop"   press: ask to stop   close box: refused
//   stop requested   StopFlag true   "Stop"   press: ask again     close box: closes
//   finished         StopFlag true   "Close"  press: close         close box: closes
class ProcessingState {
public:
  // The dialog's show: runs the repair with StopFlag false and finishes with it true. An error that
  // leaves the run leaves the dialog running, with "Stop" on its button.
  void Run(const FileList& files, ProgressSink& sink);

  // Button1Click: true when the press closes the dialog; otherwise it asked the run to stop.
  bool Press();

  // FormCloseQuery: the close box, Escape and the button all close only when this allows it.
  bool MayClose() const { return StopFlag; }
  bool StopRequested() const { return StopFlag; }
  std::string ButtonCaption() const { return finished_ ? "Close" : "Stop"; }

private:
  bool StopFlag = false;
  bool finished_ = false;
};

}  // namespace tailmend
