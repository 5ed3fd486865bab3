#include "ui/win32/process.h"

#include "ui/behaviour/window_designs.h"
#include "ui/win32/controls.h"
#include "ui/win32/main.h"

namespace tailmend {

TfrmProcessing::TfrmProcessing(TfrmMain& frmMain) : ModalDialog(ProcessingDialogDesign()), frmMain_(frmMain) {}

void TfrmProcessing::SetCaption(const std::string& text) { ModalDialog::SetCaption(WideForDisplay(text)); }

void TfrmProcessing::SetControlText(std::string_view control, const std::string& text) {
  ::SetWindowTextW(Item(control), WideForDisplay(text).c_str());
}

void TfrmProcessing::AppendEventRow(const std::string& file, const std::string& event) {
  frmMain_.AddEventRow(file, event);
}

bool TfrmProcessing::BackupChecked() { return frmMain_.BackupRequested(); }

// Runs while the dialog is being shown and before it is first drawn: the dialog first appears
// with the last file's texts. An error out of the run leaves it running, with "Stop".
void TfrmProcessing::FormShow() { progress_.Run(frmMain_.SelectedFiles()); }

bool TfrmProcessing::FormCloseQuery() { return progress_.MayClose(); }

void TfrmProcessing::Click(std::string_view control) {
  if (control == "Button1") Button1Click();
}

void TfrmProcessing::Button1Click() {
  if (progress_.Press()) Close(IDOK);
}

}  // namespace tailmend
