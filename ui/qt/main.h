#pragma once

#include <QWidget>
#include <string>
#include <string_view>

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

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  void FormClose();
  void Button1Click();
  void Button7Click();
  void Button4Click(std::string_view Sender);
  void Button3Click();
  void Button8Click();
  void Button6Click();

  void ConnectHandlers();

  // Created empty with the window, released when it closes.
  tailmend::FileList FileList;

  QLineEdit* Edit1 = nullptr;
  QCheckBox* CheckBox1 = nullptr;
  QTreeWidget* ListView1 = nullptr;
};

}  // namespace tailmend
