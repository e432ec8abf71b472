// The user guide, shipped inside the program and shown in its own window.
#pragma once

#include <QDialog>

namespace zofrin {

class HelpWindow : public QDialog {
  Q_OBJECT

 public:
  explicit HelpWindow(QWidget* parent = nullptr);
};

}  // namespace zofrin
