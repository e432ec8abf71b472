// The small dialogs of the main view: Add, Modify and Find take one address,
// Size of address group one number. In each the OK button comes first in
// the tab order and has the focus, so Enter at once confirms the field.
#pragma once

#include <QDialog>
#include <string>

class QLineEdit;
class QPushButton;

namespace zofrin {

// A dialog with one edit field, OK and Cancel, laid out in dialog units.
class SingleFieldDialog : public QDialog {
  Q_OBJECT

 public:
  QLineEdit* Field() const { return m_field; }
  QPushButton* OkButton() const { return m_ok; }

 protected:
  struct Layout {
    const char* caption;
    int width, height;  // the dialog, in dialog units
    int okX, cancelX, buttonsY;
    int fieldX, fieldY, fieldWidth;
  };
  SingleFieldDialog(QWidget* parent, const Layout& layout);
  // Adds a static text at a place given in dialog units.
  void AddLabel(const char* text, int x, int y, int width, int height);

 private:
  QLineEdit* m_field;
  QPushButton* m_ok;
};

// An address field: program text in and out, optionally limited to 255
// characters (a longer text given at the start stays, but cannot grow, and
// OK refuses it).
class AddressDialog : public SingleFieldDialog {
  Q_OBJECT

 public:
  static constexpr int kMaxChars = 255;

  // The field's text; set before exec(), read after it ended with OK.
  std::string m_strAddress;

  int exec() override;
  void accept() override;

 protected:
  AddressDialog(QWidget* parent, const Layout& layout, bool limited);

 private:
  bool m_limited;
};

class CAddAddressDlg : public AddressDialog {
  Q_OBJECT
 public:
  explicit CAddAddressDlg(QWidget* parent);
};

class CModifyAddressDlg : public AddressDialog {
  Q_OBJECT
 public:
  explicit CModifyAddressDlg(QWidget* parent);
};

class CFindAddressDlg : public AddressDialog {
  Q_OBJECT
 public:
  explicit CFindAddressDlg(QWidget* parent);
};

class CGroupSizeDlg : public SingleFieldDialog {
  Q_OBJECT

 public:
  explicit CGroupSizeDlg(QWidget* parent);

  // The group size; set before exec(), read after it ended with OK.
  int m_nGroupSize = 0;

  int exec() override;
  void accept() override;
};

}  // namespace zofrin
