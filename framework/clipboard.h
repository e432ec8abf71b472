// The system Clipboard's plain text, as program text (Windows-1252 bytes).
#pragma once

#include <optional>
#include <string>

namespace zofrin {

// Puts `text` on the Clipboard, converted to Unicode.
void PutClipboardText(const std::string& text);
// True while the Clipboard offers text.
bool ClipboardHasText();
// The Clipboard's text up to its first zero character, with characters the
// code page lacks as '?'; nothing when it offers no text.
std::optional<std::string> GetClipboardText();

}  // namespace zofrin
