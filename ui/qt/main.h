#pragma once

#include <QWidget>
#include <string>
#include <string_view>
#include <vector>

#include "engine/types.h"

class QCheckBox;
class QLineEdit;
class QTreeWidget;

namespace tailmend {

// The main window, drawn from its design. Its controls and handlers keep the names of the design
// (Button7, Button7Click...), and each control's objectName is its design name.
class TfrmMain final : public QWidget {
public:
  TfrmMain();

  // What a repair run needs from the main window.
  const tailmend::FileList& SelectedFiles() const { return FileList; }
  void AddEventRow(const std::string& file, const std::string& event);
  bool BackupRequested() const;

  // Files and folders from the desktop (the command line, a drop): they replace the selection as
  // Browse does, and what could not be taken is shown in the standard error box.
  void TakeDesktopFiles(const std::vector<std::string>& paths);

protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

private:
  void FormClose();
  void Button1Click();
  void Button7Click();
  void Button4Click(std::string_view Sender);
  void Button3Click();
  void Button8Click();
  void Button6Click();

  void ConnectHandlers();
  void ReplaceSelection(tailmend::FileList files);

  // Created empty with the window, released when it closes.
  tailmend::FileList FileList;

  QLineEdit* Edit1 = nullptr;
  QCheckBox* CheckBox1 = nullptr;
  QTreeWidget* ListView1 = nullptr;
};

}  // namespace tailmend
