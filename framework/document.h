// A document: what the program holds in one file, with its path, title and
// modified flag. The file itself is read and written by the
// DocumentController; a document only turns its contents into bytes and
// back.
#pragma once

#include <QObject>
#include <QString>
#include <string>
#include <string_view>

#include "address/list_file.h"

namespace zofrin {

class CDocument : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

  // Empties the contents; called before a file is read and for a new document.
  virtual void DeleteContents() {}
  // The new-document step: contents emptied, no path, not modified.
  virtual bool OnNewDocument();
  // Reads the contents from a file's bytes (not emptied first).
  virtual ListFileError::Kind Load(std::string_view bytes) = 0;
  // The file bytes of the contents.
  virtual std::string Store() const = 0;

  bool IsModified() const { return m_modified; }
  void SetModifiedFlag(bool modified = true);
  // The file's full path, empty for a new document.
  const QString& PathName() const { return m_path; }
  void SetPathName(const QString& path);
  // The file's name, or "Untitled".
  QString Title() const;

 signals:
  void titleChanged();
  void modifiedChanged(bool modified);

 private:
  QString m_path;
  bool m_modified = false;
};

}  // namespace zofrin
