#include "framework/file_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <deque>

namespace zofrin {
namespace {

struct Script {
  bool active = false;
  std::deque<QStringList> answers;
  std::vector<FileDialogRequest> requests;
};

Script& TheScript() {
  static Script script;
  return script;
}

QStringList Run(QWidget* parent, const FileDialogRequest& request, const QString& suffix,
                const QList<FileFilter>& patterns = {}) {
  Script& script = TheScript();
  if (script.active) {
    script.requests.push_back(request);
    if (script.answers.empty()) return {};
    QStringList answer = script.answers.front();
    script.answers.pop_front();
    return answer;
  }
  QFileDialog dialog(parent, request.title);
  // The program's own dialog, so that "*.lse" matches whatever the letter
  // case, as it does in the list-file filters of every dialog here.
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setOption(QFileDialog::ReadOnly, false);
  dialog.setNameFilters(request.filters);
  // The dialog takes the patterns from the text between parentheses, split
  // at blanks; where a type names them otherwise, give it the real ones.
  auto usePatterns = [&dialog, patterns](const QString& text) {
    for (const FileFilter& filter : patterns) {
      if (filter.text != text) continue;
      if (auto* model = dialog.findChild<QFileSystemModel*>()) {
        model->setNameFilters(filter.patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts));
      }
    }
  };
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, usePatterns);
  dialog.selectNameFilter(request.filters.value(0));
  usePatterns(request.filters.value(0));
  if (request.save) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
    if (!request.proposed.isEmpty()) dialog.selectFile(request.proposed);
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
  }
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.selectedFiles();
}

}  // namespace

QString FileDialogs::OpenFile(QWidget* parent, const QString& title, const QStringList& filters) {
  FileDialogRequest request{title, filters, {}, false, false};
  return Run(parent, request, {}).value(0);
}

QString FileDialogs::OpenFile(QWidget* parent, const QString& title,
                             const QList<FileFilter>& filters) {
  QStringList texts;
  for (const FileFilter& filter : filters) texts << filter.text;
  FileDialogRequest request{title, texts, {}, false, false};
  return Run(parent, request, {}, filters).value(0);
}

QStringList FileDialogs::OpenFiles(QWidget* parent, const QString& title,
                                   const QList<FileFilter>& filters) {
  QStringList texts;
  for (const FileFilter& filter : filters) texts << filter.text;
  FileDialogRequest request{title, texts, {}, false, true};
  return Run(parent, request, {}, filters);
}

QString FileDialogs::SaveFile(QWidget* parent, const QString& title, const QString& proposed,
                              const QStringList& filters, const QString& defaultSuffix) {
  FileDialogRequest request{title, filters, proposed, true, false};
  QString file = Run(parent, request, defaultSuffix).value(0);
  if (!file.isEmpty() && !defaultSuffix.isEmpty() && QFileInfo(file).suffix().isEmpty()) {
    file += QLatin1Char('.') + defaultSuffix;
  }
  return file;
}

void FileDialogs::SetScripted(bool scripted) {
  Script& script = TheScript();
  script.active = scripted;
  script.answers.clear();
  script.requests.clear();
}

void FileDialogs::QueueAnswer(const QStringList& files) { TheScript().answers.push_back(files); }

std::vector<FileDialogRequest> FileDialogs::TakeRequests() {
  std::vector<FileDialogRequest> requests;
  requests.swap(TheScript().requests);
  return requests;
}

}  // namespace zofrin
