#include "framework/clipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include "framework/text_codec.h"

namespace zofrin {

void PutClipboardText(const std::string& text) {
  QApplication::clipboard()->setText(FromProgramText(text));
}

bool ClipboardHasText() {
  const QMimeData* data = QApplication::clipboard()->mimeData();
  return data != nullptr && data->hasText();
}

std::optional<std::string> GetClipboardText() {
  const QMimeData* data = QApplication::clipboard()->mimeData();
  if (data == nullptr || !data->hasText()) return std::nullopt;
  QString text = data->text();
  const qsizetype zero = text.indexOf(QChar(0));
  if (zero >= 0) text.truncate(zero);
  return ToProgramText(text);
}

}  // namespace zofrin
