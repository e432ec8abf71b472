// Where program text (Windows-1252 bytes) and file paths (file-system
// bytes) become the Unicode strings widgets and the Clipboard use, and back.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "address/list_file.h"

namespace zofrin {

QString FromProgramText(std::string_view bytes);
// Characters the code page lacks become '?'.
std::string ToProgramText(const QString& text);

QString PathToQString(std::string_view path);
std::string PathFromQString(const QString& path);

// A program text with "%1" replaced by `arg`.
QString FormatText(const char* pattern, const QString& arg);
QString FormatText(const char* pattern, const QString& arg1, const QString& arg2);

// The message for a list-file failure, naming the file as the user knows it.
QString ListFileMessage(const ListFileError& error, bool writing);

}  // namespace zofrin
