#pragma once

#include <QLabel>

class QMouseEvent;

namespace tailmend {

// A label that reports a click of the left mouse button released over it, as a link does.
class ClickLabel final : public QLabel {
  Q_OBJECT

public:
  using QLabel::QLabel;

signals:
  void clicked();

protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace tailmend
