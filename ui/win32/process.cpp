#include "ui/win32/process.h"

#include <iterator>

#include "ui/win32/controls.h"
#include "ui/win32/main.h"

namespace tailmend {

namespace {

constexpr SIZE kClientSize{332, 158};
constexpr int kStatusLeft = 231;
constexpr int kStatusWidth = 90;
constexpr TfrmProcessing::Control kStatusLabels[] = {TfrmProcessing::Label12, TfrmProcessing::Label22,
                                                     TfrmProcessing::Label32};

// A status text of fixed width, so a long text is cut rather than pushing into the border.
void MakeStatusLabel(HWND dialog, int id, int top) {
  const int height = TextSize(L"Ag", TahomaFont(kWindowFontPixels)).cy;
  MakeControl(dialog, L"STATIC", id, L"", SS_LEFT | SS_NOPREFIX | SS_LEFTNOWORDWRAP,
              Place(kStatusLeft, top, kStatusWidth, height));
}

}  // namespace

TfrmProcessing::TfrmProcessing(TfrmMain& frmMain)
    : ModalDialog(WideForDisplay(kProcessingStartCaption), kClientSize, false), frmMain_(frmMain) {}

void TfrmProcessing::FormCreate() {
  HWND dialog = Handle();
  MakeLabel(dialog, Label11, L"Step 1: Calculate file size", {24, 16});
  MakeStatusLabel(dialog, Label12, 16);
  MakeLabel(dialog, Label21, L"Step 2: Backup source file", {24, 44});
  MakeStatusLabel(dialog, Label22, 44);
  MakeLabel(dialog, Label31, L"Step 3: Truncate source file", {24, 72});
  MakeStatusLabel(dialog, Label32, 72);
  MakeControl(dialog, L"STATIC", Bevel1, L"", SS_ETCHEDHORZ, Place(8, 104, 313, 2));
  MakeButton(dialog, Button1, WideForDisplay(state_.ButtonCaption()), Place(216, 119, 75, 25));
}

void TfrmProcessing::SetCaption(const std::string& text) { ModalDialog::SetCaption(WideForDisplay(text)); }

void TfrmProcessing::SetStepText(Step step, StepState state) {
  const std::string text(StepStateText(state));
  ::SetWindowTextW(FindControl(Handle(), kStatusLabels[static_cast<std::size_t>(step)]), WideForDisplay(text).c_str());
}

void TfrmProcessing::AddEventRow(const std::string& file, const FileResult& result) {
  frmMain_.AddEventRow(file, std::string(EventText(result.event)));
}

bool TfrmProcessing::BackupRequested() { return frmMain_.BackupRequested(); }

bool TfrmProcessing::StopRequested() { return state_.StopRequested(); }

// Runs while the dialog is being shown and before it is first drawn: the dialog first appears
// with the last file's texts. An error out of the run leaves it running, with "Stop".
void TfrmProcessing::FormShow() {
  state_.Run(frmMain_.SelectedFiles(), *this);
  ::SetWindowTextW(FindControl(Handle(), Button1), WideForDisplay(state_.ButtonCaption()).c_str());
}

bool TfrmProcessing::FormCloseQuery() { return state_.MayClose(); }

void TfrmProcessing::Click(int control) {
  if (control == Button1) Button1Click();
}

void TfrmProcessing::Button1Click() {
  if (state_.Press()) Close(IDOK);
}

}  // namespace tailmend
