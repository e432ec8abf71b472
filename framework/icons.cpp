#include "framework/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace zofrin {
namespace {

using Draw = std::function<void(QPainter&)>;

// Everything is drawn on a 16 x 16 grid and scaled.
QPixmap Paint(int size, const Draw& draw) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 16.0, size / 16.0);
  draw(painter);
  return pixmap;
}

QIcon MakeIcon(const Draw& draw) {
  QIcon icon;
  for (int size : {16, 22, 24, 32, 48}) icon.addPixmap(Paint(size, draw));
  return icon;
}

const QColor kInk(40, 40, 48);
const QColor kPaper(250, 250, 245);
const QColor kBlue(40, 100, 190);
const QColor kGreen(40, 150, 60);
const QColor kRed(200, 40, 40);
const QColor kYellow(235, 190, 60);

void Page(QPainter& p, QRectF r = QRectF(3, 1, 10, 14)) {
  QPainterPath path;
  path.moveTo(r.left(), r.top());
  path.lineTo(r.right() - 3, r.top());
  path.lineTo(r.right(), r.top() + 3);
  path.lineTo(r.right(), r.bottom());
  path.lineTo(r.left(), r.bottom());
  path.closeSubpath();
  p.setPen(QPen(kInk, 0.8));
  p.setBrush(kPaper);
  p.drawPath(path);
}

void Lines(QPainter& p, double x, double y, double w, int count, const QColor& color,
           double gap = 2.5) {
  p.setPen(QPen(color, 1.2, Qt::SolidLine, Qt::FlatCap));
  for (int i = 0; i < count; ++i) p.drawLine(QPointF(x, y + i * gap), QPointF(x + w, y + i * gap));
}

void Glyph(QPainter& p, const QRectF& r, const QString& text, const QColor& color, int weight) {
  QFont font(QStringLiteral("Sans Serif"));
  font.setPixelSize(static_cast<int>(r.height()));
  font.setWeight(static_cast<QFont::Weight>(weight));
  p.setFont(font);
  p.setPen(color);
  p.drawText(r, Qt::AlignCenter, text);
}

void At(QPainter& p, const QRectF& r, const QColor& color = kBlue) {
  Glyph(p, r, QStringLiteral("@"), color, QFont::Bold);
}

void Rows(QPainter& p, bool selected) {
  p.setPen(QPen(kInk, 0.8));
  p.setBrush(kPaper);
  p.drawRect(QRectF(1.5, 1.5, 13, 13));
  for (int i = 0; i < 4; ++i) {
    const QRectF row(3, 3 + i * 2.7, 10, 2);
    if (selected) p.fillRect(row, kBlue);
    else Lines(p, 3.5, 4 + i * 2.7, 9, 1, kInk);
  }
}

void Clipboard(QPainter& p) {
  p.setPen(QPen(kInk, 0.8));
  p.setBrush(QColor(190, 140, 80));
  p.drawRoundedRect(QRectF(2.5, 2, 11, 13.5), 1.5, 1.5);
  p.setBrush(kPaper);
  p.drawRect(QRectF(4, 4, 8, 10));
  p.setBrush(QColor(160, 160, 160));
  p.drawRect(QRectF(5.5, 1, 5, 2.5));
}

void TwoPages(QPainter& p) {
  Page(p, QRectF(1.5, 1, 8.5, 11));
  Page(p, QRectF(6, 4.5, 8.5, 11));
}

Draw DrawingFor(commands::Id id) {
  using namespace commands;
  switch (id) {
    case kFileNew: return [](QPainter& p) { Page(p); };
    case kFileOpen:
      return [](QPainter& p) {
        p.setPen(QPen(kInk, 0.8));
        p.setBrush(kYellow);
        p.drawRect(QRectF(1, 4, 14, 10));
        p.drawRect(QRectF(1, 2.5, 6, 2));
      };
    case kFileSave:
      return [](QPainter& p) {
        p.setPen(QPen(kInk, 0.8));
        p.setBrush(kBlue);
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        p.setBrush(kPaper);
        p.drawRect(QRectF(4, 1.5, 8, 5));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(4.5, 9, 7, 5.5));
      };
    case kAdd:
      return [](QPainter& p) {
        p.setPen(QPen(kGreen, 3, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(8, 2), QPointF(8, 14));
        p.drawLine(QPointF(2, 8), QPointF(14, 8));
      };
    case kModify:
      return [](QPainter& p) {
        p.setPen(QPen(kInk, 0.8));
        p.setBrush(kYellow);
        QPolygonF pencil;
        pencil << QPointF(3, 13) << QPointF(4, 10) << QPointF(12, 2) << QPointF(14, 4)
               << QPointF(6, 12);
        p.drawPolygon(pencil);
      };
    case kDelete:
      return [](QPainter& p) {
        p.setPen(QPen(kRed, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
      };
    case kCrop:
      return [](QPainter& p) {
        p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::FlatCap));
        p.drawPolyline(QPolygonF() << QPointF(4, 1) << QPointF(4, 12) << QPointF(15, 12));
        p.drawPolyline(QPolygonF() << QPointF(1, 4) << QPointF(12, 4) << QPointF(12, 15));
        p.fillRect(QRectF(5, 5, 6, 6), kBlue);
      };
    case kSelectAll: return [](QPainter& p) { Rows(p, true); };
    case kUnselectAll: return [](QPainter& p) { Rows(p, false); };
    case kInvertSelection:
      return [](QPainter& p) {
        Rows(p, false);
        p.fillRect(QRectF(3, 3, 10, 2), kBlue);
        p.fillRect(QRectF(3, 8.4, 10, 2), kBlue);
      };
    case kFind:
      return [](QPainter& p) {
        p.setPen(QPen(kInk, 1.8));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(2, 2, 8, 8));
        p.drawLine(QPointF(9, 9), QPointF(14, 14));
      };
    case kCopySelected: return [](QPainter& p) { TwoPages(p); };
    case kCopySelectedCommas:
      return [](QPainter& p) {
        TwoPages(p);
        Glyph(p, QRectF(6, 4, 9, 11), QStringLiteral(","), kRed, QFont::Black);
      };
    case kCopyGroup:
      return [](QPainter& p) {
        TwoPages(p);
        Lines(p, 7.5, 8, 5.5, 3, kBlue, 2.2);
      };
    case kCopyGroupCommas:
      return [](QPainter& p) {
        TwoPages(p);
        Lines(p, 7.5, 8, 3.5, 3, kBlue, 2.2);
        Glyph(p, QRectF(9, 5, 6, 10), QStringLiteral(","), kRed, QFont::Black);
      };
    case kGroupSize:
      return [](QPainter& p) { Glyph(p, QRectF(0, 0, 16, 16), QStringLiteral("#"), kBlue, 700); };
    case kExtractFromFiles:
      return [](QPainter& p) {
        Page(p);
        At(p, QRectF(3, 4, 10, 10));
      };
    case kExtractFromClipboard:
      return [](QPainter& p) {
        Clipboard(p);
        At(p, QRectF(4, 4.5, 8, 9));
      };
    case kListsOperations:
      return [](QPainter& p) {
        p.setPen(QPen(kInk, 0.8));
        for (int i = 0; i < 3; ++i) {
          p.setBrush(i == 2 ? QColor(200, 225, 250) : kPaper);
          p.drawRect(QRectF(1 + i * 5, 2, 4, 12));
        }
      };
    case kHelpTopics:
    case kHelp:
    case kDefaultHelp:
    case kContextHelp:
      return [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawEllipse(QRectF(1, 1, 14, 14));
        Glyph(p, QRectF(1, 1, 14, 14), QStringLiteral("?"), Qt::white, QFont::Bold);
      };
    default: return [](QPainter&) {};
  }
}

const char* ThemeName(commands::Id id) {
  using namespace commands;
  switch (id) {
    case kFileNew: return "document-new";
    case kFileOpen: return "document-open";
    case kFileSave: return "document-save";
    case kFileSaveAs: return "document-save-as";
    case kExit: return "application-exit";
    case kAdd: return "list-add";
    case kDelete: return "edit-delete";
    case kSelectAll: return "edit-select-all";
    case kFind: return "edit-find";
    case kHelpTopics: return "help-contents";
    case kContextHelp: return "help-contextual";
    case kAbout: return "help-about";
    default: return nullptr;  // nothing standard fits: always drawn here
  }
}

void ProgramDrawing(QPainter& p) {
  p.setPen(QPen(kInk, 0.6));
  p.setBrush(QColor(245, 240, 220));
  p.drawRoundedRect(QRectF(0.5, 3, 15, 10.5), 1, 1);
  p.setPen(QPen(QColor(150, 130, 90), 0.7));
  p.drawPolyline(QPolygonF() << QPointF(1, 3.5) << QPointF(8, 9) << QPointF(15, 3.5));
  At(p, QRectF(3, 4.5, 10, 10), kBlue);
}

void ListFileDrawing(QPainter& p) {
  Page(p, QRectF(2, 0.5, 12, 15));
  Lines(p, 4, 3.5, 6, 2, QColor(120, 120, 120));
  At(p, QRectF(4, 6, 9, 9));
}

}  // namespace

QIcon CommandIcon(commands::Id id) {
  const QIcon drawn = MakeIcon(DrawingFor(id));
  const char* theme = ThemeName(id);
  return theme ? QIcon::fromTheme(QString::fromLatin1(theme), drawn) : drawn;
}

QPixmap ProgramPixmap(int size) { return Paint(size, ProgramDrawing); }
QPixmap ListFilePixmap(int size) { return Paint(size, ListFileDrawing); }

QIcon ProgramIcon() {
  return QIcon::fromTheme(QStringLiteral("zofrin"), MakeIcon(ProgramDrawing));
}

QIcon ListFileIcon() {
  return QIcon::fromTheme(QStringLiteral("application-x-zofrin-list"), MakeIcon(ListFileDrawing));
}

}  // namespace zofrin
