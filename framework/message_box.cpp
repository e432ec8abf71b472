#include "framework/message_box.h"

#include "framework/text_codec.h"
#include "resources/texts.h"

namespace zofrin {
namespace {

struct Script {
  bool active = false;
  std::deque<QMessageBox::StandardButton> answers;
  std::vector<ShownBox> shown;
};

Script& TheScript() {
  static Script script;
  return script;
}

}  // namespace

MessageBoxes::Button MessageBoxes::Show(QWidget* parent, const QString& caption,
                                        const QString& text, QMessageBox::Icon icon,
                                        QMessageBox::StandardButtons buttons,
                                        Button defaultButton) {
  Script& script = TheScript();
  if (script.active) {
    script.shown.push_back({caption, text, icon, buttons});
    if (script.answers.empty()) return defaultButton;
    const Button answer = script.answers.front();
    script.answers.pop_front();
    return answer;
  }
  QMessageBox box(icon, caption, text, buttons, parent);
  box.setDefaultButton(defaultButton);
  return static_cast<Button>(box.exec());
}

void MessageBoxes::Information(QWidget* parent, const QString& text) {
  Show(parent, FromProgramText(texts::kInformationCaption), text, QMessageBox::Information,
       QMessageBox::Ok, QMessageBox::Ok);
}

MessageBoxes::Button MessageBoxes::Confirmation(QWidget* parent, const QString& text,
                                                QMessageBox::StandardButtons buttons) {
  const Button defaultButton = buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes
                                                                  : QMessageBox::Ok;
  return Show(parent, FromProgramText(texts::kConfirmationCaption), text, QMessageBox::Question,
              buttons, defaultButton);
}

void MessageBoxes::Warning(QWidget* parent, const QString& text) {
  Show(parent, FromProgramText(texts::kAppName), text, QMessageBox::Warning, QMessageBox::Ok,
       QMessageBox::Ok);
}

MessageBoxes::Button MessageBoxes::SavePrompt(QWidget* parent, const QString& title) {
  return Show(parent, FromProgramText(texts::kAppName), FormatText(texts::kSaveChanges, title),
              QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
              QMessageBox::Yes);
}

void MessageBoxes::Error(QWidget* parent, const QString& text) {
  Show(parent, FromProgramText(texts::kAppName), text, QMessageBox::Critical, QMessageBox::Ok,
       QMessageBox::Ok);
}

void MessageBoxes::SetScripted(bool scripted) {
  Script& script = TheScript();
  script.active = scripted;
  script.answers.clear();
  script.shown.clear();
}

void MessageBoxes::QueueAnswer(Button answer) { TheScript().answers.push_back(answer); }

std::vector<ShownBox> MessageBoxes::TakeShown() {
  std::vector<ShownBox> shown;
  shown.swap(TheScript().shown);
  return shown;
}

}  // namespace zofrin
