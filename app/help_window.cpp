#include "app/help_window.h"

#include <QTextBrowser>
#include <QVBoxLayout>

#include "framework/text_codec.h"
#include "resources/texts.h"

namespace zofrin {

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("helpWindow"));
  setWindowTitle(FromProgramText(texts::kHelpCaption));
  setWindowFlags(Qt::Window);
  auto* browser = new QTextBrowser(this);
  browser->setObjectName(QStringLiteral("helpBrowser"));
  browser->setOpenExternalLinks(true);
  browser->setSource(QUrl(QStringLiteral("qrc:/help/index.html")));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser);
  resize(640, 560);
}

}  // namespace zofrin
