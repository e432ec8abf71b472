#include "app/about_dlg.h"

#include <QLabel>
#include <QPushButton>

#include "framework/dialog_units.h"
#include "framework/icons.h"
#include "framework/text_codec.h"
#include "resources/texts.h"

namespace zofrin {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(FromProgramText(texts::kAboutCaption));
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
  const DialogUnits units(font());
  setFixedSize(units.Size(217, 55));
  auto* icon = new QLabel(this);
  const QRect iconRect = units.Rect(11, 17, 18, 20);
  icon->setGeometry(iconRect);
  icon->setPixmap(ProgramIcon().pixmap(std::min(iconRect.width(), iconRect.height())));
  auto* version = new QLabel(FromProgramText(texts::kAboutVersion), this);
  version->setTextFormat(Qt::PlainText);
  version->setGeometry(units.Rect(40, 10, 119, 8));
  auto* ok = new QPushButton(FromProgramText(texts::kOk), this);
  ok->setGeometry(units.Rect(178, 7, 32, 14));
  ok->setDefault(true);
  ok->setFocus();
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace zofrin
