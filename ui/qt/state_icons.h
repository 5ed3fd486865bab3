#pragma once

#include <QIcon>

#include "ui/behaviour/file_explanation.h"

namespace tailmend {

// The event list's icon of a file's state, with its pictures of 16 and 32 pixels: Qt draws the one
// that suits the size asked for and the screen's scale.
QIcon StateIcon(FileState state);

}  // namespace tailmend
