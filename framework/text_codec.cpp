#include "framework/text_codec.h"

#include <QFile>

#include "address/codepage.h"

namespace zofrin {

QString FromProgramText(std::string_view bytes) {
  const std::u16string text = Cp1252ToUtf16(bytes);
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToProgramText(const QString& text) {
  return Utf16ToCp1252(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                           static_cast<std::size_t>(text.size())));
}

QString PathToQString(std::string_view path) {
  return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

std::string PathFromQString(const QString& path) {
  const QByteArray bytes = QFile::encodeName(path);
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString FormatText(const char* pattern, const QString& arg) {
  QString text = FromProgramText(pattern);
  return text.replace(QStringLiteral("%1"), arg);
}

QString FormatText(const char* pattern, const QString& arg1, const QString& arg2) {
  return FormatText(pattern, arg1).replace(QStringLiteral("%2"), arg2);
}

QString ListFileMessage(const ListFileError& error, bool writing) {
  // The message with "%1" for the path gives the pattern; the path itself is
  // file-system bytes, not program text.
  ListFileError pattern = error;
  pattern.path = "%1";
  return FormatText(pattern.Message(writing).c_str(), PathToQString(error.path));
}

}  // namespace zofrin
