#include "app/help_window.h"

#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "framework/text_codec.h"
#include "resources/texts.h"

namespace zofrin {
namespace {

// The user guide is the part of the README between its guide marks, so the
// program and the repository show one and the same text.
QString GuideText() {
  QFile file(QStringLiteral(":/README.md"));
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QString readme = QString::fromUtf8(file.readAll());
  const qsizetype begin = readme.indexOf(QStringLiteral("<!-- guide"));
  const qsizetype end = readme.indexOf(QStringLiteral("<!-- end of guide -->"));
  if (begin < 0 || end < begin) return readme;
  const qsizetype start = readme.indexOf(QLatin1Char('\n'), begin) + 1;
  return QStringLiteral("# Zofrin\n\n") + readme.mid(start, end - start);
}

}  // namespace

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("helpWindow"));
  setWindowTitle(FromProgramText(texts::kHelpCaption));
  setWindowFlags(Qt::Window);
  auto* browser = new QTextBrowser(this);
  browser->setObjectName(QStringLiteral("helpBrowser"));
  browser->setAccessibleName(FromProgramText(texts::kHelpCaption));
  browser->setOpenExternalLinks(true);
  browser->setSearchPaths({QStringLiteral(":/")});
  browser->setMarkdown(GuideText());
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser);
  resize(720, 640);
}

}  // namespace zofrin
