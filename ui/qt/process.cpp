#include "ui/qt/process.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <iterator>

#include "ui/qt/controls.h"
#include "ui/qt/error_guard.h"
#include "ui/qt/main.h"

namespace tailmend {

namespace {

constexpr QSize kClientSize(332, 158);
constexpr int kStatusLeft = 231;
constexpr int kStatusWidth = 90;

// A status text of fixed width, so a long text is cut rather than pushing into the border.
QLabel* MakeStatusLabel(QWidget* parent, const char* name, int top) {
  return MakeControl<QLabel>(parent, name, {kStatusLeft, top, kStatusWidth, parent->fontMetrics().height()});
}

}  // namespace

TfrmProcessing::TfrmProcessing(TfrmMain& frmMain) : QDialog(nullptr), frmMain_(frmMain) {
  setObjectName(QStringLiteral("frmProcessing"));
  SetUpWindow(*this, QString::fromLatin1(kProcessingStartCaption), kClientSize, kDialogFlags);
  Label11 = MakeLabel(this, "Label11", QStringLiteral("Step 1: Calculate file size"), {24, 16});
  Label12 = MakeStatusLabel(this, "Label12", 16);
  Label21 = MakeLabel(this, "Label21", QStringLiteral("Step 2: Backup source file"), {24, 44});
  Label22 = MakeStatusLabel(this, "Label22", 44);
  Label31 = MakeLabel(this, "Label31", QStringLiteral("Step 3: Truncate source file"), {24, 72});
  Label32 = MakeStatusLabel(this, "Label32", 72);
  Bevel1 = MakeControl<QFrame>(this, "Bevel1", {8, 104, 313, 2});
  Bevel1->setFrameShape(QFrame::HLine);
  Bevel1->setFrameShadow(QFrame::Sunken);
  Button1 = MakeControl<QPushButton>(this, "Button1", {216, 119, 75, 25});
  Button1->setText(QString::fromStdString(state_.ButtonCaption()));
  Button1->setAutoDefault(false);
  ConnectGuarded(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  CentreOnScreen(*this);
}

void TfrmProcessing::SetCaption(const std::string& text) { setWindowTitle(QString::fromStdString(text)); }

void TfrmProcessing::SetStepText(Step step, StepState state) {
  QLabel* const status[] = {Label12, Label22, Label32};
  const std::string_view text = StepStateText(state);
  status[static_cast<std::size_t>(step)]->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void TfrmProcessing::AddEventRow(const std::string& file, const FileResult& result) {
  frmMain_.AddEventRow(file, std::string(EventText(result.event)));
}

bool TfrmProcessing::BackupRequested() { return frmMain_.BackupRequested(); }

bool TfrmProcessing::StopRequested() { return state_.StopRequested(); }

// Qt sends the show event before the window reaches the screen, so the whole run is over by the
// time the dialog is first drawn. Shows the window system sends on its own (after a restore) are
// not a new run.
void TfrmProcessing::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) RunGuarded([this] { FormShow(); });
}

void TfrmProcessing::FormShow() {
  state_.Run(frmMain_.SelectedFiles(), *this);
  Button1->setText(QString::fromStdString(state_.ButtonCaption()));
}

bool TfrmProcessing::FormCloseQuery() const { return state_.MayClose(); }

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
  if (state_.Press()) close();
}

}  // namespace tailmend
