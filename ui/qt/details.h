#pragma once

#include <QDialog>

#include "ui/behaviour/run_progress.h"

class QShowEvent;

namespace tailmend {

// The details window, drawn from its design: one row of the event list explained, with the photo's
// own preview. Its handlers keep the names of the design, and each control's objectName is its
// design name.
class TfrmDetails final : public QDialog {
public:
  TfrmDetails();

  // The row to explain, set before the window is shown.
  EventRow Row;

protected:
  void showEvent(QShowEvent* event) override;

private:
  void FormShow();
  void Button2Click();
  void ShowPreview();
};

}  // namespace tailmend
