#include "app/desktop_integration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

#include "framework/icons.h"

namespace zofrin {
namespace {

QString ReadResource(const QString& name) {
  QFile file(name);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

QString ReadFile(const QString& path) { return ReadResource(path); }

bool WriteFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  file.write(bytes);
  return file.commit();
}

QString ExecLine(const QString& entry) {
  for (const QString& line : entry.split(QLatin1Char('\n'))) {
    if (line.startsWith(QStringLiteral("Exec="))) return line.mid(5);
  }
  return {};
}

// The desktop's Exec field quotes a path with blanks or special characters.
QString QuoteForExec(const QString& path) {
  static const QString special = QStringLiteral(" \t\"'\\><~|&;$*?#()`");
  for (QChar c : path) {
    if (special.contains(c)) {
      QString quoted = path;
      quoted.replace(QStringLiteral("\\"), QStringLiteral("\\\\"))
          .replace(QStringLiteral("\""), QStringLiteral("\\\""))
          .replace(QStringLiteral("`"), QStringLiteral("\\`"))
          .replace(QStringLiteral("$"), QStringLiteral("\\$"));
      return QLatin1Char('"') + quoted + QLatin1Char('"');
    }
  }
  return path;
}

// A system-wide entry of this same program makes a user-level one needless.
bool SystemEntryIsCurrent(const QString& programPath) {
  const QStringList folders = QStandardPaths::standardLocations(
      QStandardPaths::GenericDataLocation);
  const QString user = DesktopIntegration::UserDataFolder();
  for (const QString& folder : folders) {
    if (QDir(folder) == QDir(user)) continue;
    const QString entry = ReadFile(folder + QStringLiteral("/applications/zofrin.desktop"));
    if (entry.isEmpty()) continue;
    const QString program = ExecLine(entry).section(QLatin1Char(' '), 0, 0);
    const QString resolved = QFileInfo(program).isAbsolute()
                                 ? program
                                 : QStandardPaths::findExecutable(program);
    if (!resolved.isEmpty() &&
        QFileInfo(resolved).canonicalFilePath() == QFileInfo(programPath).canonicalFilePath()) {
      return QFileInfo::exists(folder + QStringLiteral("/mime/packages/zofrin.xml"));
    }
  }
  return false;
}

}  // namespace

QString DesktopIntegration::UserDataFolder() {
  QString base = qEnvironmentVariable("XDG_DATA_HOME");
  if (base.isEmpty() || QDir::isRelativePath(base)) base = QDir::homePath() + "/.local/share";
  return base;
}

QString DesktopIntegration::DesktopEntry(const QString& programPath) {
  QString entry = ReadResource(QStringLiteral(":/resources/zofrin.desktop"));
  entry.replace(QStringLiteral("Exec=zofrin %f"),
                QStringLiteral("Exec=") + QuoteForExec(programPath) + QStringLiteral(" %f"));
  return entry;
}

bool DesktopIntegration::Refresh(const QString& programPath) {
  if (qEnvironmentVariableIsSet("ZOFRIN_NO_REGISTER")) return false;
  if (programPath.isEmpty() || SystemEntryIsCurrent(programPath)) return false;
  const QString data = UserDataFolder();
  const QString entryPath = data + QStringLiteral("/applications/zofrin.desktop");
  const QString mimePath = data + QStringLiteral("/mime/packages/zofrin.xml");
  const QString wanted = DesktopEntry(programPath);
  if (ReadFile(entryPath) == wanted && QFileInfo::exists(mimePath)) return false;

  bool ok = WriteFile(entryPath, wanted.toUtf8());
  ok = WriteFile(mimePath, ReadResource(QStringLiteral(":/resources/zofrin-mime.xml")).toUtf8()) && ok;
  for (int size : {16, 32, 48, 64, 128}) {
    const QString folder = data + QStringLiteral("/icons/hicolor/%1x%1/").arg(size);
    QDir().mkpath(folder + QStringLiteral("apps"));
    QDir().mkpath(folder + QStringLiteral("mimetypes"));
    ProgramPixmap(size).save(folder + QStringLiteral("apps/zofrin.png"));
    ListFilePixmap(size).save(folder + QStringLiteral("mimetypes/application-x-zofrin-list.png"));
  }
  // Let the desktop know; both tools are optional.
  const QString mimeTool = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
  if (!mimeTool.isEmpty()) QProcess::startDetached(mimeTool, {data + QStringLiteral("/mime")});
  const QString desktopTool =
      QStandardPaths::findExecutable(QStringLiteral("update-desktop-database"));
  if (!desktopTool.isEmpty()) {
    QProcess::startDetached(desktopTool, {data + QStringLiteral("/applications")});
  }
  return ok;
}

}  // namespace zofrin
