#include "framework/document_controller.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QWidget>
#include <new>

#include "address/file_io.h"
#include "framework/busy_cursor.h"
#include "framework/document.h"
#include "framework/file_dialogs.h"
#include "framework/message_box.h"
#include "framework/text_codec.h"
#include "resources/texts.h"

namespace zofrin {
namespace {

QStringList ListFilters() {
  return {FromProgramText(texts::kListFilter), FromProgramText(texts::kAllFilesFilter)};
}

QString DefaultSuffix() { return FromProgramText(texts::kDefaultExtension).mid(1); }

bool SameFile(const QString& a, const QString& b) {
  if (a.isEmpty() || b.isEmpty()) return false;
  const QFileInfo first(a), second(b);
  const QString canonicalA = first.canonicalFilePath(), canonicalB = second.canonicalFilePath();
  if (!canonicalA.isEmpty() && !canonicalB.isEmpty()) return canonicalA == canonicalB;
  return first.absoluteFilePath() == second.absoluteFilePath();
}

}  // namespace

DocumentController::DocumentController(CDocument* document, QWidget* window)
    : QObject(window), m_document(document), m_window(window) {
  connect(document, &CDocument::titleChanged, this, &DocumentController::titleChanged);
}

void DocumentController::SetInitialUpdate(std::function<void()> initialUpdate) {
  m_initialUpdate = std::move(initialUpdate);
}

QString DocumentController::WindowTitle() const {
  return m_document->Title() + FromProgramText(texts::kTitleSeparator) +
         FromProgramText(texts::kAppName);
}

bool DocumentController::SaveModified() {
  if (!m_document->IsModified()) return true;
  switch (MessageBoxes::SavePrompt(m_window, m_document->Title())) {
    case QMessageBox::Yes: return OnFileSave();
    case QMessageBox::No: return true;
    default: return false;
  }
}

bool DocumentController::NewDocument() {
  m_document->OnNewDocument();
  if (m_initialUpdate) m_initialUpdate();
  return true;
}

bool DocumentController::OnFileNew() {
  if (!SaveModified()) return false;
  return NewDocument();
}

bool DocumentController::OnFileOpen() {
  const QString path =
      FileDialogs::OpenFile(m_window, FromProgramText(texts::kOpenTitle), ListFilters());
  if (path.isEmpty()) return false;
  return OpenDocumentFile(path);
}

bool DocumentController::OpenDocumentFile(const QString& path, bool prompt) {
  if (SameFile(path, m_document->PathName())) {
    emit activateRequested();
    return true;
  }
  if (prompt && !SaveModified()) return false;
  return ReadFile(path);
}

bool DocumentController::ReadFile(const QString& path) {
  ListFileError error;
  error.path = PathFromQString(path);
  std::string bytes;
  {
    BusyCursor busy;
    bool opened = false;
    error.cause = ReadWholeFile(error.path, bytes, &opened);
    if (!opened) {
      // Nothing is touched when the file cannot even be opened.
      error.kind = ListFileError::Kind::kOpen;
      MessageBoxes::Warning(m_window, ListFileMessage(error, false));
      return false;
    }
    m_document->DeleteContents();
    m_document->SetModifiedFlag(true);
    if (error.cause != FileErrorCause::kNone) {
      error.kind = ListFileError::Kind::kIo;
    } else if (!bytes.empty()) {
      try {
        error.kind = m_document->Load(bytes);
      } catch (const std::bad_alloc&) {
        error.kind = ListFileError::Kind::kOutOfMemory;
      }
    }
  }
  if (!error.Ok()) {
    m_document->DeleteContents();
    MessageBoxes::Warning(m_window, ListFileMessage(error, false));
    NewDocument();
    return false;
  }
  m_document->SetModifiedFlag(false);
  m_document->SetPathName(path);
  AddRecent(path);
  if (m_initialUpdate) m_initialUpdate();
  return true;
}

QString DocumentController::ProposedName() const {
  if (!m_document->PathName().isEmpty()) return m_document->PathName();
  QString name = m_document->Title();
  const int cut = name.indexOf(QRegularExpression(QStringLiteral("[ #%;/\\\\]")));
  if (cut >= 0) name.truncate(cut);
  return name + FromProgramText(texts::kDefaultExtension);
}

bool DocumentController::OnFileSave() {
  if (m_document->PathName().isEmpty()) return OnFileSaveAs();
  return DoSave(m_document->PathName());
}

bool DocumentController::OnFileSaveAs() {
  const QString path = FileDialogs::SaveFile(m_window, FromProgramText(texts::kSaveAsTitle),
                                             ProposedName(), ListFilters(), DefaultSuffix());
  if (path.isEmpty()) return false;
  return DoSave(path);
}

bool DocumentController::DoSave(const QString& path) {
  ListFileError error;
  error.path = PathFromQString(path);
  {
    BusyCursor busy;
    try {
      const std::string bytes = m_document->Store();
      error.cause = WriteFileAtomically(error.path, bytes);
      if (error.cause != FileErrorCause::kNone) error.kind = ListFileError::Kind::kIo;
    } catch (const std::bad_alloc&) {
      error.kind = ListFileError::Kind::kOutOfMemory;
    }
  }
  if (!error.Ok()) {
    // The old file, the document's contents, path and flag stay as they were.
    MessageBoxes::Warning(m_window, ListFileMessage(error, true));
    return false;
  }
  m_document->SetModifiedFlag(false);
  m_document->SetPathName(path);
  AddRecent(path);
  return true;
}

bool DocumentController::OnRecentFile(int index) {
  const QString path = m_recent.Paths().value(index);
  if (path.isEmpty()) return false;
  if (OpenDocumentFile(path)) return true;
  // A recent file that cannot be opened leaves the list, unless the user
  // only cancelled the save prompt.
  if (!QFileInfo::exists(path)) {
    m_recent.Remove(m_recent.Paths().indexOf(path));
    emit recentFilesChanged();
  }
  return false;
}

void DocumentController::OpenDroppedFiles(const QStringList& paths) {
  for (const QString& path : paths) {
    // The drop stops only when the prompt is cancelled or its save fails. A
    // file that cannot be opened leaves the list as it was, changes
    // included, so the next file asks again.
    if (!SameFile(path, m_document->PathName()) && !SaveModified()) break;
    OpenDocumentFile(path, false);
  }
}

void DocumentController::AddRecent(const QString& path) {
  m_recent.Add(path);
  emit recentFilesChanged();
}

}  // namespace zofrin
