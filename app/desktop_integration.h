// Makes list files open with this program on a freedesktop desktop: a
// desktop entry, a MIME type for *.lse and the icons, written to the user's
// data folder when they are missing or name another program. Nothing is
// written when a system-wide installation of this same program already
// provides them, or when ZOFRIN_NO_REGISTER is set.
#pragma once

#include <QString>

namespace zofrin {

class DesktopIntegration {
 public:
  // Answers whether anything was written.
  static bool Refresh(const QString& programPath);
  // $XDG_DATA_HOME, or ~/.local/share.
  static QString UserDataFolder();
  // The desktop entry for `programPath`.
  static QString DesktopEntry(const QString& programPath);
};

}  // namespace zofrin
