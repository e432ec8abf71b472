// Conversion between the program's 8-bit code page, Windows-1252, and
// Unicode. Text inside the program is always code-page bytes; this is the
// one place where it becomes Unicode or comes back from it.
#pragma once

#include <string>
#include <string_view>

namespace zofrin {

// Each byte to its UTF-16 code unit. The five bytes Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the
// same value, so every byte survives a round trip.
std::u16string Cp1252ToUtf16(std::string_view bytes);

// UTF-16 to code-page bytes; a character the code page lacks, and an
// unpaired surrogate, becomes '?'. A surrogate pair becomes a single '?'.
std::string Utf16ToCp1252(std::u16string_view text);

// The same for UTF-8, for the command line and for file names.
std::string Cp1252ToUtf8(std::string_view bytes);
std::string Utf8ToCp1252(std::string_view text);

}  // namespace zofrin
