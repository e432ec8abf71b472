// Icons: the desktop theme's icon where a standard one fits, else one drawn
// here, so every command has a picture even on a bare desktop.
#pragma once

#include <QIcon>

#include "resources/commands.h"

namespace zofrin {

QIcon CommandIcon(commands::Id id);
// The program's icon and the list files' icon.
QIcon ProgramIcon();
QIcon ListFileIcon();
// Draws the program or list-file icon at `size` pixels (for installing).
QPixmap ProgramPixmap(int size);
QPixmap ListFilePixmap(int size);

}  // namespace zofrin
