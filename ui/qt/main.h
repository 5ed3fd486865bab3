#pragma once

#include <QWidget>
#include <string>
#include <string_view>
#include <vector>

#include "engine/types.h"
#include "ui/behaviour/run_progress.h"

class QCheckBox;
class QLineEdit;
class QMenu;
class QPoint;
class QTreeWidget;

namespace tailmend {

// The main window, drawn from its design. Its controls and handlers keep the names of the design
// (Button7, Button7Click...), and each control's objectName is its design name.
class TfrmMain final : public QWidget {
public:
  TfrmMain();

  // What a repair run needs from the main window.
  const tailmend::FileList& SelectedFiles() const { return FileList; }
  void AddEventRows(const std::vector<EventRow>& rows);
  bool BackupRequested() const;
  // The event list's rows as the runs gave them, in the list's order.
  const std::vector<EventRow>& EventRows() const { return eventRows_; }

  // Files and folders from the desktop (the command line, a drop): they replace the selection as
  // Browse does, and what could not be taken is shown in the standard error box.
  void TakeDesktopFiles(const std::vector<std::string>& paths);

protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

private:
  // Closing is refused while a run's dialog is open.
  bool FormCloseQuery() const { return !runOpen_; }
  void FormClose();
  void Button1Click();
  void Button7Click();
  void Button4Click(std::string_view Sender);
  void Button3Click();
  void Button8Click();
  void Button6Click();

  // The event list: a row's activation (double-click, Enter) and its menu.
  void ListView1ContextPopup(const QPoint& at);
  void Details1Click();
  void ShowinFolder1Click();
  void CopyPath1Click();
  void SaveReport1Click();
  // The row chosen in the event list; none when no row is.
  const EventRow* ChosenRow() const;

  void ConnectHandlers();
  void ConnectEventList();
  void ReplaceSelection(tailmend::FileList files);

  // Created empty with the window, released when it closes.
  tailmend::FileList FileList;
  std::vector<EventRow> eventRows_;
  bool runOpen_ = false;

  QLineEdit* Edit1 = nullptr;
  QCheckBox* CheckBox1 = nullptr;
  QTreeWidget* ListView1 = nullptr;
  QMenu* PopupMenu1 = nullptr;
};

}  // namespace tailmend
