// The About box: the program's icon, name and version, and an OK button.
#pragma once

#include <QDialog>

namespace zofrin {

class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace zofrin
