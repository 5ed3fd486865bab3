#include "ui/qt/process.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QShowEvent>

#include "ui/behaviour/window_designs.h"
#include "ui/qt/design_drawing.h"
#include "ui/qt/error_guard.h"
#include "ui/qt/main.h"

namespace tailmend {

TfrmProcessing::TfrmProcessing(TfrmMain& frmMain) : QDialog(nullptr), frmMain_(frmMain) {
  DrawWindow(*this, ProcessingDialogDesign(), kDialogFlags);
  ConnectGuarded(&DesignControl<QPushButton>(*this, "Button1"), &QPushButton::clicked, this,
                 [this] { Button1Click(); });
}

void TfrmProcessing::SetCaption(const std::string& text) { setWindowTitle(QString::fromStdString(text)); }

void TfrmProcessing::SetControlText(std::string_view control, const std::string& text) {
  tailmend::SetControlText(DesignControl<QWidget>(*this, control), QString::fromStdString(text));
}

void TfrmProcessing::AppendEventRow(const std::string& file, const std::string& event) {
  frmMain_.AddEventRow(file, event);
}

bool TfrmProcessing::BackupChecked() { return frmMain_.BackupRequested(); }

// Qt sends the show event before the window reaches the screen, so the whole run is over by the
// time the dialog is first drawn. Shows the window system sends on its own (after a restore) are
// not a new run.
void TfrmProcessing::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) RunGuarded([this] { FormShow(); });
}

void TfrmProcessing::FormShow() { progress_.Run(frmMain_.SelectedFiles()); }

bool TfrmProcessing::FormCloseQuery() const { return progress_.MayClose(); }

void TfrmProcessing::reject() {
  if (FormCloseQuery()) QDialog::reject();
}

void TfrmProcessing::closeEvent(QCloseEvent* event) {
  if (!FormCloseQuery()) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void TfrmProcessing::Button1Click() {
  if (progress_.Press()) close();
}

}  // namespace tailmend
