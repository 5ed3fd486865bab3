#include "ui/qt/state_icons.h"

#include <QString>

namespace tailmend {

QIcon StateIcon(FileState state) {
  const QString name = QStringLiteral(":/tailmend/") + QString::fromLatin1(StateIconName(state));
  QIcon icon;
  icon.addFile(name + QStringLiteral("_16.png"), QSize(16, 16));
  icon.addFile(name + QStringLiteral("_32.png"), QSize(32, 32));
  return icon;
}

}  // namespace tailmend
