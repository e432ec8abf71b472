// Dialog units: a horizontal unit is a quarter of the dialog font's average
// character width, a vertical unit an eighth of its height, so layouts given
// in these units scale with the font.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

namespace zofrin {

class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);

  int X(int units) const { return (units * m_charWidth + 2) / 4; }
  int Y(int units) const { return (units * m_charHeight + 4) / 8; }
  QRect Rect(int x, int y, int width, int height) const {
    return QRect(X(x), Y(y), X(width), Y(height));
  }
  QSize Size(int width, int height) const { return QSize(X(width), Y(height)); }

 private:
  int m_charWidth;
  int m_charHeight;
};

}  // namespace zofrin
