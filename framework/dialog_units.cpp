#include "framework/dialog_units.h"

#include <QFontMetrics>

namespace zofrin {

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  // The average over the 52 ASCII letters, rounded.
  const int letters = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  m_charWidth = std::max(1, (letters / 26 + 1) / 2);
  m_charHeight = std::max(1, metrics.height());
}

}  // namespace zofrin
