#include "framework/document.h"

#include <QFileInfo>

#include "framework/text_codec.h"
#include "resources/texts.h"

namespace zofrin {

bool CDocument::OnNewDocument() {
  DeleteContents();
  SetPathName(QString());
  SetModifiedFlag(false);
  return true;
}

void CDocument::SetModifiedFlag(bool modified) {
  if (m_modified == modified) return;
  m_modified = modified;
  emit modifiedChanged(modified);
}

void CDocument::SetPathName(const QString& path) {
  m_path = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
  emit titleChanged();
}

QString CDocument::Title() const {
  return m_path.isEmpty() ? FromProgramText(texts::kUntitled) : QFileInfo(m_path).fileName();
}

}  // namespace zofrin
