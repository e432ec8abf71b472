// Field validation for dialogs: each check shows its message once in the
// framework's box, then puts the focus back in the field with its text
// selected, and answers false so the dialog stays open.
#pragma once

#include <QString>
#include <optional>

class QLineEdit;
class QWidget;

namespace zofrin {

// Reads an integer field: the first 31 characters; blanks (spaces, tabs)
// before, an optional sign, digits, then only blanks. A zero counts only
// when the text after the blanks starts with the digit 0, so "+0" and "-0"
// are not integers. Values beyond the 32-bit range read as the nearest
// limit.
std::optional<int> ParseDialogInteger(const QString& text);

// "Please enter no more than %1 characters."
bool ValidateMaxChars(QWidget* dialog, QLineEdit* field, int maxChars);
// "Please enter an integer." or "Please enter an integer between %1 and %2."
bool ValidateInteger(QWidget* dialog, QLineEdit* field, int min, int max, int& value);

}  // namespace zofrin
