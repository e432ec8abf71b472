// Every message box of the program goes through here: the program's own
// "Information" and "Confirmation" boxes, the framework's boxes captioned
// with the program's name, and the error box for a failed command. Tests
// switch to scripted mode: nothing is shown, each box is recorded and
// answered from a queue (or with its default button).
#pragma once

#include <QMessageBox>
#include <QString>
#include <deque>
#include <vector>

namespace zofrin {

struct ShownBox {
  QString caption;
  QString text;
  QMessageBox::Icon icon;
  QMessageBox::StandardButtons buttons;
};

class MessageBoxes {
 public:
  using Button = QMessageBox::StandardButton;

  // The program's own notices: caption "Information", information icon, OK.
  static void Information(QWidget* parent, const QString& text);
  // Caption "Confirmation", question icon; Yes is the default of Yes/No.
  static Button Confirmation(QWidget* parent, const QString& text,
                             QMessageBox::StandardButtons buttons = QMessageBox::Yes |
                                                                    QMessageBox::No);
  // The framework's boxes: caption "Zofrin", exclamation icon, OK.
  static void Warning(QWidget* parent, const QString& text);
  // "Save changes to %1?" with Yes, No and Cancel.
  static Button SavePrompt(QWidget* parent, const QString& title);
  // A command that failed: caption "Zofrin", stop icon, OK.
  static void Error(QWidget* parent, const QString& text);

  static Button Show(QWidget* parent, const QString& caption, const QString& text,
                     QMessageBox::Icon icon, QMessageBox::StandardButtons buttons,
                     Button defaultButton);

  // Scripted mode for tests.
  static void SetScripted(bool scripted);
  static void QueueAnswer(Button answer);
  static std::vector<ShownBox> TakeShown();
};

}  // namespace zofrin
