#include "framework/recent_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

namespace zofrin {
namespace {

const QString kSection = QStringLiteral("Recent File List");

bool IsSectionLine(const QString& line) {
  const QString trimmed = line.trimmed();
  return trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'));
}

QString SectionName(const QString& line) {
  const QString trimmed = line.trimmed();
  return trimmed.mid(1, trimmed.size() - 2).trimmed();
}

QStringList ReadLines(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
  QStringList lines;
  QTextStream in(&file);
  while (!in.atEnd()) lines << in.readLine();
  return lines;
}

}  // namespace

void RecentFileList::Add(const QString& path) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  m_paths.removeAll(absolute);
  m_paths.prepend(absolute);
  while (m_paths.size() > kSize) m_paths.removeLast();
}

void RecentFileList::Remove(int index) {
  if (index >= 0 && index < m_paths.size()) m_paths.removeAt(index);
}

QString RecentFileList::Shorten(const QString& path, int length) {
  if (path.size() <= length) return path;
  // Keep the first folder and the file name, as in /home/.../list.lse.
  const QString name = QFileInfo(path).fileName();
  const int firstSlash = path.indexOf(QLatin1Char('/'), 1);
  if (firstSlash > 0) {
    const QString shortened = path.left(firstSlash + 1) + QStringLiteral("...") +
                              QLatin1Char('/') + name;
    if (shortened.size() <= length) return shortened;
  }
  const QString dotted = QStringLiteral(".../") + name;
  if (dotted.size() <= length) return dotted;
  return name.left(length - 3) + QStringLiteral("...");
}

QString RecentFileList::DisplayName(int index) const {
  return Shorten(m_paths.value(index), kDisplayLength);
}

QString RecentFileList::SettingsPath() {
  QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (base.isEmpty() || QDir::isRelativePath(base)) base = QDir::homePath() + "/.config";
  return base + QStringLiteral("/zofrin/zofrin.ini");
}

void RecentFileList::Load(const QString& settingsPath) {
  m_paths.clear();
  QString entries[kSize];
  bool inSection = false;
  for (const QString& line : ReadLines(settingsPath)) {
    if (IsSectionLine(line)) {
      inSection = SectionName(line).compare(kSection, Qt::CaseInsensitive) == 0;
      continue;
    }
    const int equals = line.indexOf(QLatin1Char('='));
    if (!inSection || equals < 0) continue;
    const QString key = line.left(equals).trimmed();
    if (!key.startsWith(QStringLiteral("File"), Qt::CaseInsensitive)) continue;
    bool ok = false;
    const int number = key.mid(4).toInt(&ok);
    if (ok && number >= 1 && number <= kSize) entries[number - 1] = line.mid(equals + 1).trimmed();
  }
  for (const QString& entry : entries) {
    if (!entry.isEmpty() && !m_paths.contains(entry)) m_paths << entry;
  }
}

bool RecentFileList::Save(const QString& settingsPath) const {
  QStringList out;
  bool inSection = false;
  bool written = false;
  auto writeSection = [&] {
    out << QLatin1Char('[') + kSection + QLatin1Char(']');
    for (int i = 0; i < m_paths.size(); ++i) {
      out << QStringLiteral("File%1=%2").arg(i + 1).arg(m_paths[i]);
    }
    written = true;
  };
  for (const QString& line : ReadLines(settingsPath)) {
    if (IsSectionLine(line)) {
      inSection = SectionName(line).compare(kSection, Qt::CaseInsensitive) == 0;
      if (inSection) {
        if (!written) writeSection();
        continue;
      }
    }
    if (!inSection) out << line;
  }
  if (!written) {
    if (!out.isEmpty() && !out.last().isEmpty()) out << QString();
    writeSection();
  }
  QDir().mkpath(QFileInfo(settingsPath).absolutePath());
  QSaveFile file(settingsPath);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) return false;
  QTextStream stream(&file);
  for (const QString& line : out) stream << line << '\n';
  stream.flush();
  return file.commit();
}

}  // namespace zofrin
