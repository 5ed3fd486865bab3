#include "ui/qt/process.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QThread>
#include <stdexcept>
#include <utility>

#include "ui/behaviour/window_designs.h"
#include "ui/qt/design_drawing.h"
#include "ui/qt/error_guard.h"
#include "ui/qt/main.h"

namespace tailmend {

namespace {

// How often the dialog shows what the run has reported meanwhile: often enough to look live, seldom
// enough that drawing costs the run nothing.
constexpr int kRefreshMilliseconds = 100;

}  // namespace

TfrmProcessing::TfrmProcessing(TfrmMain& frmMain) : QDialog(nullptr), frmMain_(frmMain) {
  DrawWindow(*this, ProcessingDialogDesign(), kDialogFlags);
  ConnectGuarded(&DesignControl<QPushButton>(*this, "Button1"), &QPushButton::clicked, this,
                 [this] { Button1Click(); });
  refreshTimer_.setInterval(kRefreshMilliseconds);
  ConnectGuarded(&refreshTimer_, &QTimer::timeout, this, [this] { Refresh(); });
}

TfrmProcessing::~TfrmProcessing() {
  progress_.StopBeforeNextFile();
  if (worker_) worker_->wait();
}

void TfrmProcessing::SetCaption(const std::string& text) { setWindowTitle(QString::fromStdString(text)); }

void TfrmProcessing::SetControlText(std::string_view control, const std::string& text) {
  tailmend::SetControlText(DesignControl<QWidget>(*this, control), QString::fromStdString(text));
}

void TfrmProcessing::AppendEventRows(const std::vector<EventRow>& rows) { frmMain_.AddEventRows(rows); }

void TfrmProcessing::ShowErrorBox(const std::string& message) { tailmend::ShowErrorBox(message); }

// Shows the window system sends on its own (after a restore) are not a new run.
void TfrmProcessing::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) RunGuarded([this] { FormShow(); });
}

// The dialog is drawn at once, in its running state, and follows the run from then on.
void TfrmProcessing::FormShow() {
  progress_.Start(frmMain_.SelectedFiles(), frmMain_.BackupRequested(),
                  [this](std::function<void()> work) { StartWorker(std::move(work)); });
  refreshTimer_.start();
}

// The worker's end reaches the dialog as a queued signal, on the dialog's own thread.
void TfrmProcessing::StartWorker(std::function<void()> work) {
  worker_.reset(QThread::create(std::move(work)));
  connect(worker_.get(), &QThread::finished, this, [this] {
    refreshTimer_.stop();
    RunGuarded([this] { Refresh(); });
  });
  worker_->start();
  if (!worker_->isRunning() && !worker_->isFinished()) {
    throw std::runtime_error("The repair could not be started: the system gave it no thread");
  }
}

void TfrmProcessing::Refresh() { progress_.Refresh(); }

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
