// The document life cycle of a single-document program: New, Open, Save,
// Save As, the recent files, the save prompt, opening dropped files and the
// window title. It reads and writes the file; the document turns bytes into
// contents and back, and the view rebuilds itself after every New and Open.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

#include "framework/recent_files.h"

class QWidget;

namespace zofrin {

class CDocument;

class DocumentController : public QObject {
  Q_OBJECT

 public:
  DocumentController(CDocument* document, QWidget* window);

  // Called after every New and Open (and after a file that failed to read
  // part-way has left the document new and empty).
  void SetInitialUpdate(std::function<void()> initialUpdate);

  // The commands. Each answers whether it was carried out.
  bool OnFileNew();
  bool OnFileOpen();
  bool OnFileSave();
  bool OnFileSaveAs();
  bool OnRecentFile(int index);
  // Opens `path`, asking to save first when `prompt` and there are changes.
  bool OpenDocumentFile(const QString& path, bool prompt = true);
  // Files dropped on the window: each opened in turn, the last one stays.
  void OpenDroppedFiles(const QStringList& paths);
  // The save prompt; false when the user cancelled or saving failed.
  bool SaveModified();

  // "NAME - Zofrin".
  QString WindowTitle() const;
  CDocument* Document() const { return m_document; }
  RecentFileList& RecentFiles() { return m_recent; }

 signals:
  void titleChanged();
  void recentFilesChanged();
  // The file named is already the current document.
  void activateRequested();

 private:
  // The framework's new-document step, without the prompt.
  bool NewDocument();
  // Reads the file; answers false when it could not be opened at all.
  bool ReadFile(const QString& path);
  bool DoSave(const QString& path);
  QString ProposedName() const;
  void AddRecent(const QString& path);

  CDocument* m_document;
  QWidget* m_window;
  std::function<void()> m_initialUpdate;
  RecentFileList m_recent;
};

}  // namespace zofrin
