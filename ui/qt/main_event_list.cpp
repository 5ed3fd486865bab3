// The main window's event list: its rows with their state icons and tooltips, the details of a row,
// and the list's menu.
#include <QAction>
#include <QFile>
#include <QMenu>
#include <QSaveFile>
#include <QTreeWidget>
#include <stdexcept>

#include "ui/behaviour/csv_report.h"
#include "ui/behaviour/file_explanation.h"
#include "ui/behaviour/main_window.h"
#include "ui/behaviour/window_designs.h"
#include "ui/qt/design_drawing.h"
#include "ui/qt/desktop_services.h"
#include "ui/qt/details.h"
#include "ui/qt/error_guard.h"
#include "ui/qt/main.h"
#include "ui/qt/state_icons.h"

namespace tailmend {

namespace {

// The state icon goes before the number, in the first column.
constexpr int kIconColumn = 0;

QString PathText(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

QTreeWidgetItem* MakeRow(const std::string& number, const EventRow& row) {
  auto* item = new QTreeWidgetItem(QStringList{QString::fromStdString(number), QString::fromStdString(row.file),
                                               QString::fromUtf8(EventText(row.result.event))});
  item->setIcon(kIconColumn, StateIcon(StateOf(row.result, row.failure)));
  const QString tooltip = QString::fromStdString(FileTooltip(row.file, row.result, row.failure));
  for (int column = 0; column < item->columnCount(); ++column) item->setToolTip(column, tooltip);
  return item;
}

// The whole report is written under another name and then put in place of the file chosen.
void WriteReport(const QString& path, const std::string& report) {
  QSaveFile file(path);
  const auto length = static_cast<qint64>(report.size());
  if (!file.open(QIODevice::WriteOnly) || file.write(report.data(), length) != length || !file.commit()) {
    throw std::runtime_error("Cannot write the report \"" + path.toStdString() + "\". " +
                             file.errorString().toStdString());
  }
}

}  // namespace

void TfrmMain::ConnectEventList() {
  PopupMenu1 = &DrawMenu(*this, EventListMenuDesign());
  ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(ListView1, &QTreeWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { RunGuarded([this, at] { ListView1ContextPopup(at); }); });
  ConnectGuarded(ListView1, &QTreeWidget::itemActivated, this, [this] { Details1Click(); });
  const auto onChosen = [this](const char* item, auto handler) {
    ConnectGuarded(&DesignControl<QAction>(*this, item), &QAction::triggered, this, handler);
  };
  onChosen("Details1", [this] { Details1Click(); });
  onChosen("ShowinFolder1", [this] { ShowinFolder1Click(); });
  onChosen("CopyPath1", [this] { CopyPath1Click(); });
  onChosen("SaveReport1", [this] { SaveReport1Click(); });
}

// The rows a run has reported since it last looked, in one go, the last of them in sight.
void TfrmMain::AddEventRows(const std::vector<EventRow>& rows) {
  QList<QTreeWidgetItem*> items;
  for (const EventRow& row : rows) {
    items.push_back(MakeRow(EventRowNumber(eventRows_.size()), row));
    eventRows_.push_back(row);
  }
  ListView1->addTopLevelItems(items);
  if (!items.isEmpty()) ListView1->scrollToItem(items.back());
}

const EventRow* TfrmMain::ChosenRow() const {
  const int index = ListView1->indexOfTopLevelItem(ListView1->currentItem());
  if (index < 0 || !ListView1->currentItem()->isSelected()) return nullptr;
  return &eventRows_[static_cast<std::size_t>(index)];
}

void TfrmMain::ListView1ContextPopup(const QPoint& at) {
  for (QAction* item : PopupMenu1->actions()) {
    item->setEnabled(
        EventListMenuItemEnabled(item->objectName().toStdString(), ChosenRow() != nullptr, eventRows_.size()));
  }
  PopupMenu1->popup(ListView1->viewport()->mapToGlobal(at));
}

void TfrmMain::Details1Click() {
  const EventRow* row = ChosenRow();
  if (row == nullptr) return;
  TfrmDetails frmDetails;
  frmDetails.Row = *row;
  frmDetails.exec();
}

void TfrmMain::ShowinFolder1Click() {
  if (const EventRow* row = ChosenRow()) CurrentServices().showInFolder(PathText(row->file));
}

void TfrmMain::CopyPath1Click() {
  if (const EventRow* row = ChosenRow()) CurrentServices().copyText(PathText(row->file));
}

void TfrmMain::SaveReport1Click() {
  const QString path = CurrentServices().chooseReportFile(this);
  if (!path.isEmpty()) WriteReport(path, CsvReport(eventRows_));
}

}  // namespace tailmend
