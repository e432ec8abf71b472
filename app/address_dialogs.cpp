#include "app/address_dialogs.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "framework/data_exchange.h"
#include "framework/dialog_units.h"
#include "framework/text_codec.h"
#include "resources/texts.h"

namespace zofrin {
namespace {

// Keeps the field from growing beyond `limit` characters, typed or pasted.
// A longer text given at the start stays, and can be shortened but not
// lengthened: the field's own limit follows the text down to `limit`.
void LimitGrowth(QLineEdit* field, int limit) {
  field->setMaxLength(std::max<int>(limit, static_cast<int>(field->text().size())));
  QObject::connect(field, &QLineEdit::textChanged, field, [field, limit](const QString& text) {
    field->setMaxLength(std::max<int>(limit, static_cast<int>(text.size())));
  });
}

}  // namespace

SingleFieldDialog::SingleFieldDialog(QWidget* parent, const Layout& layout) : QDialog(parent) {
  setWindowTitle(FromProgramText(layout.caption));
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
  const DialogUnits units(font());
  setFixedSize(units.Size(layout.width, layout.height));
  // Created in tab order: OK, Cancel, the field.
  m_ok = new QPushButton(FromProgramText(texts::kOk), this);
  m_ok->setObjectName(QStringLiteral("ok"));
  m_ok->setGeometry(units.Rect(layout.okX, layout.buttonsY, 50, 14));
  m_ok->setDefault(true);
  auto* cancel = new QPushButton(FromProgramText(texts::kCancel), this);
  cancel->setObjectName(QStringLiteral("cancel"));
  cancel->setGeometry(units.Rect(layout.cancelX, layout.buttonsY, 50, 14));
  m_field = new QLineEdit(this);
  m_field->setObjectName(QStringLiteral("field"));
  m_field->setGeometry(units.Rect(layout.fieldX, layout.fieldY, layout.fieldWidth, 14));
  setTabOrder(m_ok, cancel);
  setTabOrder(cancel, m_field);
  m_ok->setFocus();
  connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void SingleFieldDialog::AddLabel(const char* text, int x, int y, int width, int height) {
  auto* label = new QLabel(FromProgramText(text), this);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QRect place = DialogUnits(font()).Rect(x, y, width, height);
  // A font wider than the layout's may wrap a short text past the label's
  // height, hiding its end: such a text keeps to one line and takes the
  // room it needs, when the dialog has it.
  if (label->heightForWidth(place.width()) > place.height()) {
    label->setWordWrap(false);
    const int lineWidth = label->sizeHint().width();
    if (lineWidth <= this->width() - place.x()) {
      place.setWidth(std::max(place.width(), lineWidth));
    } else {
      label->setWordWrap(true);
    }
  }
  label->setGeometry(place);
  label->setBuddy(Field());
}

AddressDialog::AddressDialog(QWidget* parent, const Layout& layout, bool limited)
    : SingleFieldDialog(parent, layout), m_limited(limited) {
  Field()->setAccessibleName(QStringLiteral("Email address"));
  if (limited) LimitGrowth(Field(), kMaxChars);
}

int AddressDialog::exec() {
  const QString text = FromProgramText(m_strAddress);
  // Room for a longer text given at the start, before it is set.
  if (m_limited) Field()->setMaxLength(std::max<int>(kMaxChars, static_cast<int>(text.size())));
  Field()->setText(text);
  OkButton()->setFocus();
  // Add and Modify open in the middle of the screen.
  if (m_limited && screen()) move(screen()->availableGeometry().center() - rect().center());
  return QDialog::exec();
}

void AddressDialog::accept() {
  if (m_limited && !ValidateMaxChars(this, Field(), kMaxChars)) return;
  m_strAddress = ToProgramText(Field()->text());
  QDialog::accept();
}

CAddAddressDlg::CAddAddressDlg(QWidget* parent)
    : AddressDialog(parent, {texts::kAddCaption, 169, 60, 26, 95, 36, 25, 13, 120}, true) {
  setObjectName(QStringLiteral("addAddressDialog"));
}

CModifyAddressDlg::CModifyAddressDlg(QWidget* parent)
    : AddressDialog(parent, {texts::kModifyCaption, 169, 63, 26, 95, 36, 25, 13, 120}, true) {
  setObjectName(QStringLiteral("modifyAddressDialog"));
}

CFindAddressDlg::CFindAddressDlg(QWidget* parent)
    : AddressDialog(parent, {texts::kFindCaption, 172, 57, 27, 94, 36, 25, 15, 120}, false) {
  setObjectName(QStringLiteral("findAddressDialog"));
  AddLabel(texts::kEnterAddress, 26, 3, 63, 8);
}

CGroupSizeDlg::CGroupSizeDlg(QWidget* parent)
    : SingleFieldDialog(parent, {texts::kGroupSizeCaption, 172, 76, 26, 95, 49, 106, 17, 39}) {
  setObjectName(QStringLiteral("groupSizeDialog"));
  Field()->setAccessibleName(QStringLiteral("Size of address group"));
  AddLabel(texts::kGroupSizePrompt, 9, 7, 90, 37);
}

int CGroupSizeDlg::exec() {
  Field()->setText(QString::number(m_nGroupSize));
  OkButton()->setFocus();
  return QDialog::exec();
}

void CGroupSizeDlg::accept() {
  int value = 0;
  if (!ValidateInteger(this, Field(), 1, 32767, value)) return;
  m_nGroupSize = value;
  QDialog::accept();
}

}  // namespace zofrin
