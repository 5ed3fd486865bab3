#include "ui/win32/process.h"

#include <utility>

#include "ui/behaviour/window_designs.h"
#include "ui/win32/controls.h"
#include "ui/win32/error_guard.h"
#include "ui/win32/main.h"

namespace tailmend {

namespace {

// How often the dialog shows what the run has reported meanwhile: often enough to look live, seldom
// enough that drawing costs the run nothing and a click on Stop never waits behind it.
constexpr UINT kRefreshMilliseconds = 100;
constexpr UINT_PTR kRefreshTimer = 1;
// Posted by the worker as its last act. It only ever posts: the dialog's thread may be waiting for it.
constexpr UINT kRunEnded = ModalDialog::kOwnMessage;

}  // namespace

TfrmProcessing::TfrmProcessing(TfrmMain& frmMain)
    : ModalDialog(ProcessingDialogDesign()), frmMain_(frmMain), taskbar_(frmMain.Handle()) {}

TfrmProcessing::~TfrmProcessing() {
  progress_.StopBeforeNextFile();
  if (worker_.joinable()) worker_.join();
}

void TfrmProcessing::SetCaption(const std::string& text) { ModalDialog::SetCaption(WideForDisplay(text)); }

void TfrmProcessing::SetControlText(std::string_view control, const std::string& text) {
  ::SetWindowTextW(Item(control), WideForDisplay(text).c_str());
}

void TfrmProcessing::AppendEventRows(const std::vector<EventRow>& rows) { frmMain_.AddEventRows(rows); }

void TfrmProcessing::ShowErrorBox(const std::string& message) { tailmend::ShowErrorBox(Handle(), message); }

void TfrmProcessing::ShowTaskbarProgress(const TaskbarProgress& progress) { taskbar_.Show(progress); }

// Runs as the dialog is shown: it is first drawn in its running state and follows the run from
// then on.
void TfrmProcessing::FormShow() {
  progress_.Start(frmMain_.SelectedFiles(), frmMain_.BackupRequested(),
                  [this](std::function<void()> work) { StartWorker(std::move(work)); });
  ::SetTimer(Handle(), kRefreshTimer, kRefreshMilliseconds, nullptr);
}

void TfrmProcessing::StartWorker(std::function<void()> work) {
  worker_ = std::thread([work = std::move(work), dialog = Handle()] {
    work();
    ::PostMessageW(dialog, kRunEnded, 0, 0);
  });
}

void TfrmProcessing::Notified(UINT message) {
  if (message == kRunEnded) ::KillTimer(Handle(), kRefreshTimer);
  progress_.Refresh();
}

bool TfrmProcessing::FormCloseQuery() { return progress_.MayClose(); }

void TfrmProcessing::Click(std::string_view control) {
  if (control == "Button1") Button1Click();
}

void TfrmProcessing::Button1Click() {
  if (progress_.Press()) Close(IDOK);
}

}  // namespace tailmend
