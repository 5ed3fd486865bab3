#include "ui/qt/state_icons.h"

#include <QString>
#include <array>

namespace tailmend {

namespace {

QIcon MakeStateIcon(FileState state) {
  const QString name = QStringLiteral(":/tailmend/") + QString::fromLatin1(StateIconName(state));
  QIcon icon;
  icon.addFile(name + QStringLiteral("_16.png"), QSize(16, 16));
  icon.addFile(name + QStringLiteral("_32.png"), QSize(32, 32));
  return icon;
}

}  // namespace

// Made once each: the rows of a run of thousands share them.
QIcon StateIcon(FileState state) {
  static const std::array<QIcon, 5> icons = {MakeStateIcon(FileState::Repaired), MakeStateIcon(FileState::Healthy),
                                             MakeStateIcon(FileState::DamagedInside),
                                             MakeStateIcon(FileState::NotRepairable), MakeStateIcon(FileState::Failed)};
  return icons[static_cast<std::size_t>(state)];
}

}  // namespace tailmend
