#include "framework/data_exchange.h"

#include <QLineEdit>
#include <climits>

#include "framework/message_box.h"
#include "framework/text_codec.h"
#include "resources/texts.h"

namespace zofrin {
namespace {

bool IsBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

void Fail(QWidget* dialog, QLineEdit* field, const QString& message) {
  MessageBoxes::Warning(dialog, message);
  field->setFocus(Qt::OtherFocusReason);
  field->selectAll();
}

}  // namespace

std::optional<int> ParseDialogInteger(const QString& full) {
  const QString text = full.left(31);
  int i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  const bool startsWithZero = i < text.size() && text[i] == QLatin1Char('0');
  bool negative = false;
  if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
    negative = text[i] == QLatin1Char('-');
    ++i;
  }
  long long value = 0;
  while (i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9')) {
    value = std::min<long long>(value * 10 + (text[i].unicode() - '0'), 1LL << 40);
    ++i;
  }
  while (i < text.size() && IsBlank(text[i])) ++i;
  if (i != text.size()) return std::nullopt;
  if (value == 0 && !startsWithZero) return std::nullopt;
  if (negative) value = -value;
  return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

bool ValidateMaxChars(QWidget* dialog, QLineEdit* field, int maxChars) {
  if (field->text().size() <= maxChars) return true;
  Fail(dialog, field, FormatText(texts::kMaxCharacters, QString::number(maxChars)));
  return false;
}

bool ValidateInteger(QWidget* dialog, QLineEdit* field, int min, int max, int& value) {
  const std::optional<int> parsed = ParseDialogInteger(field->text());
  if (!parsed) {
    Fail(dialog, field, FromProgramText(texts::kEnterInteger));
    return false;
  }
  if (*parsed < min || *parsed > max) {
    Fail(dialog, field,
         FormatText(texts::kEnterIntegerBetween, QString::number(min), QString::number(max)));
    return false;
  }
  value = *parsed;
  return true;
}

}  // namespace zofrin
