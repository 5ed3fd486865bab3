#include "ui/qt/details.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QShowEvent>

#include "ui/behaviour/details_window.h"
#include "ui/behaviour/window_designs.h"
#include "ui/qt/design_drawing.h"
#include "ui/qt/desktop_services.h"
#include "ui/qt/error_guard.h"
#include "ui/qt/jpeg_picture.h"

namespace tailmend {

TfrmDetails::TfrmDetails() : QDialog(nullptr) {
  DrawWindow(*this, DetailsWindowDesign(), kDialogFlags);
  ConnectGuarded(&DesignControl<QPushButton>(*this, "Button2"), &QPushButton::clicked, this,
                 [this] { Button2Click(); });
  connect(&DesignControl<QPushButton>(*this, "Button1"), &QPushButton::clicked, this, &QDialog::accept);
}

void TfrmDetails::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) RunGuarded([this] { FormShow(); });
}

// A long name or folder shows its start.
void TfrmDetails::FormShow() {
  for (const auto& [name, text] : DetailTexts(Row)) {
    QWidget& control = DesignControl<QWidget>(*this, name);
    if (auto* edit = qobject_cast<QLineEdit*>(&control)) {
      edit->setText(QString::fromStdString(text));
      edit->setCursorPosition(0);
    } else {
      SetControlText(control, QString::fromStdString(text));
    }
  }
  ShowPreview();
}

// Decoded for the screen's own pixels inside the box's frame; the box keeps "No preview" otherwise.
void TfrmDetails::ShowPreview() {
  auto& box = DesignControl<QLabel>(*this, "Image1");
  const qreal scale = box.devicePixelRatioF();
  const QSize inside = box.contentsRect().size() * scale;
  const std::optional<PreviewPlace>& place = Row.result.verdict.preview;
  QImage preview = PreviewPicture(Row.file, place, inside);
  if (preview.isNull()) return;
  preview.setDevicePixelRatio(scale);
  box.setPixmap(QPixmap::fromImage(preview));
}

void TfrmDetails::Button2Click() {
  CurrentServices().showInFolder(QFile::decodeName(QByteArray::fromStdString(Row.file)));
}

}  // namespace tailmend
