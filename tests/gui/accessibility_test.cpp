// Every control a person can reach has a name that assistive technology
// reads out, and every command can be reached from the keyboard through a
// menu mnemonic.
#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAccessible>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>

#include "app/about_dlg.h"
#include "app/address_dialogs.h"
#include "app/help_window.h"
#include "app/main_frame.h"
#include "app/zofrin_doc.h"
#include "dialogs/extract_dlg.h"
#include "dialogs/lists_dlg.h"
#include "gui_test_support.h"
#include "resources/commands.h"

using namespace zofrin;
using namespace zofrin::test;

namespace {

// The controls of `window` that take input and have no accessible name;
// `checked` counts the controls looked at.
QStringList UnnamedControls(QWidget* window, int& checked) {
  QStringList unnamed;
  for (QWidget* widget : window->findChildren<QWidget*>()) {
    const bool control = qobject_cast<QAbstractButton*>(widget) ||
                         qobject_cast<QLineEdit*>(widget) ||
                         qobject_cast<QAbstractScrollArea*>(widget);
    if (!control || widget->isHidden()) continue;
    // A scroll area's own scroll bars belong to it.
    if (qobject_cast<QAbstractScrollArea*>(widget->parentWidget())) continue;
    ++checked;
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    const QString name = accessible ? accessible->text(QAccessible::Name) : QString();
    if (name.trimmed().isEmpty()) {
      unnamed << QStringLiteral("%1 %2").arg(widget->metaObject()->className(),
                                             widget->objectName());
    }
  }
  return unnamed;
}

}  // namespace

class AccessibilityTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { UseScriptedUi(); }

  void everyControlHasAName_data() {
    QTest::addColumn<QString>("window");
    for (const char* name : {"main window", "About", "Add", "Modify", "Find", "Size of group",
                             "extraction", "lists", "help"}) {
      QTest::newRow(name) << QString::fromLatin1(name);
    }
  }

  void everyControlHasAName() {
    QFETCH(QString, window);
    CZofrinDoc document;
    CMainFrame frame(&document);
    frame.show();
    std::unique_ptr<QWidget> dialog;
    if (window == "About") dialog = std::make_unique<CAboutDlg>(&frame);
    if (window == "Add") dialog = std::make_unique<CAddAddressDlg>(&frame);
    if (window == "Modify") dialog = std::make_unique<CModifyAddressDlg>(&frame);
    if (window == "Find") dialog = std::make_unique<CFindAddressDlg>(&frame);
    if (window == "Size of group") dialog = std::make_unique<CGroupSizeDlg>(&frame);
    if (window == "extraction") dialog = std::make_unique<CExtractDlg>(&frame);
    if (window == "lists") dialog = std::make_unique<CListsDlg>(&frame);
    if (window == "help") dialog = std::make_unique<HelpWindow>(&frame);
    QWidget* tested = dialog ? dialog.get() : &frame;
    tested->show();
    QVERIFY(QTest::qWaitForWindowExposed(tested));
    int checked = 0;
    const QStringList unnamed = UnnamedControls(tested, checked);
    QVERIFY(checked > 0);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
  }

  // Each menu and each item in it has a mnemonic of its own, so that every
  // command is a few keys away.
  void everyCommandHasAMnemonic() {
    QStringList titles;
    for (const commands::Menu& menu : commands::kMainMenu) {
      const QString title = QString::fromLatin1(menu.title);
      QVERIFY2(title.contains(QLatin1Char('&')), qPrintable(title));
      titles << title.mid(title.indexOf(QLatin1Char('&')) + 1, 1).toLower();
      QStringList keys;
      for (const commands::MenuItem& item : menu.items) {
        if (item.id == commands::kNone || item.id == commands::kRecentFile1) continue;
        const QString text = QString::fromLatin1(item.text);
        QVERIFY2(text.contains(QLatin1Char('&')), qPrintable(text));
        keys << text.mid(text.indexOf(QLatin1Char('&')) + 1, 1).toLower();
      }
      QCOMPARE(QSet<QString>(keys.begin(), keys.end()).size(), keys.size());
    }
    QCOMPARE(QSet<QString>(titles.begin(), titles.end()).size(), titles.size());
  }
};

ZOFRIN_GUI_TEST_MAIN(AccessibilityTest)

#include "accessibility_test.moc"
