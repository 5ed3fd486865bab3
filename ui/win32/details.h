#pragma once

#include "ui/behaviour/run_progress.h"
#include "ui/win32/modal_dialog.h"

namespace tailmend {

// The details window, drawn from its design: one row of the event list explained, with the photo's
// own preview. Its handlers keep the names of the design.
class TfrmDetails final : public ModalDialog {
public:
  TfrmDetails();
  ~TfrmDetails() override;

  // The row to explain, set before the window is shown.
  EventRow Row;

private:
  void FormShow() override;
  void FormAfterMonitorDpiChanged() override;
  void Click(std::string_view control) override;
  void Button2Click();
  void ShowPreview();

  HBITMAP preview_ = nullptr;  // the preview as shown, at the screen's density
};

}  // namespace tailmend
