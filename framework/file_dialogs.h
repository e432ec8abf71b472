// The open and save dialogs. Tests switch to scripted mode: no dialog is
// shown and each call takes its answer from a queue (an empty answer is a
// cancel), with the request recorded.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

class QWidget;

namespace zofrin {

// A file type of a file dialog: the text shown and its patterns, separated
// by ';' (the text alone does not always name them as the dialog reads them).
struct FileFilter {
  QString text;
  QString patterns;
};

struct FileDialogRequest {
  QString title;
  QStringList filters;
  QString proposed;
  bool save = false;
  bool multiple = false;
};

class FileDialogs {
 public:
  // One existing file, or an empty string when cancelled.
  static QString OpenFile(QWidget* parent, const QString& title, const QStringList& filters);
  static QString OpenFile(QWidget* parent, const QString& title,
                          const QList<FileFilter>& filters);
  // Any number of existing files, in the order the dialog hands them over.
  static QStringList OpenFiles(QWidget* parent, const QString& title,
                               const QList<FileFilter>& filters);
  // A file name in an existing folder; asks before replacing a file. A name
  // without extension gets `defaultSuffix` when that is not empty.
  static QString SaveFile(QWidget* parent, const QString& title, const QString& proposed,
                          const QStringList& filters, const QString& defaultSuffix);

  static void SetScripted(bool scripted);
  static void QueueAnswer(const QStringList& files);
  static std::vector<FileDialogRequest> TakeRequests();
};

}  // namespace zofrin
