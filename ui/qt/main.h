#pragma once

#include <QWidget>
#include <string>

#include "engine/types.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QObject;
class QPushButton;
class QTreeWidget;

namespace tailmend {

// The main window. Its controls and handlers keep the names of the window's design (Button7,
// Button7Click...), and each control's objectName is its member name.
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
  void Button4Click(const QObject* Sender);
  void Button3Click();
  void Button8Click();
  void Button6Click();

  void CreateControls();
  void SetTabOrder();
  void ConnectHandlers();

  // Created empty with the window, released when it closes.
  tailmend::FileList FileList;

  QLabel* Image1 = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QLabel* Label1 = nullptr;
  QLineEdit* Edit1 = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button7 = nullptr;
  QCheckBox* CheckBox1 = nullptr;
  QTreeWidget* ListView1 = nullptr;
  QGroupBox* GroupBox3 = nullptr;
  QPushButton* Button4 = nullptr;
  QPushButton* Button5 = nullptr;
  QPushButton* Button3 = nullptr;
  QPushButton* Button8 = nullptr;
  QPushButton* Button6 = nullptr;
};

}  // namespace tailmend
