// Start-up and the main window: the command line, the window's title, size
// and place, its menus, toolbar and status bar.
#include <QAction>
#include <QEnterEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include "app/main_frame.h"
#include "app/zofrin_app.h"
#include "app/zofrin_doc.h"
#include "app/zofrin_view.h"
#include "framework/document_controller.h"
#include "gui_test_support.h"

using namespace zofrin;
using namespace zofrin::commands;
using namespace zofrin::test;

class MainFrameTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    m_list = m_dir.filePath("three.lse");
    WriteBytes(m_list, ListBytes({"ann@example.com", "bob@example.com", "carl@example.net"}));
    m_damaged = m_dir.filePath("damaged.lse");
    WriteBytes(m_damaged, QByteArray::fromHex("0100"));
  }

  void init() {
    UseScriptedUi();
    QFile::remove(SettingsFile());
  }

  void cleanup() {
    const auto shown = MessageBoxes::TakeShown();
    QVERIFY2(shown.empty(), shown.empty() ? "" : qPrintable(shown.front().text));
  }

  void commandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("runs");
    QTest::addColumn<bool>("failed");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");
    QTest::newRow("none") << QStringList{} << true << false << "Untitled - Zofrin" << "";
    QTest::newRow("a list file") << QStringList{m_list} << true << false << "three.lse - Zofrin"
                                 << "";
    QTest::newRow("/p") << QStringList{"/p", m_list} << false << false << "" << "";
    QTest::newRow("-p") << QStringList{"-p", m_list} << false << false << "" << "";
    QTest::newRow("/pt") << QStringList{"/pt", m_list, "printer", "driver", "port"} << false
                         << false << "" << "";
    QTest::newRow("-pt") << QStringList{"-pt", m_list, "printer", "driver", "port"} << false
                         << false << "" << "";
    QTest::newRow("damaged file") << QStringList{m_damaged} << false << true << ""
                                  << "Unexpected file format.";
    QTest::newRow("missing file") << QStringList{m_dir.filePath("none.lse")} << false << true
                                  << "" << m_dir.filePath("none.lse") + " was not found.";
    // Switches are compared with their letter case: "/P" is a path.
    QTest::newRow("/P") << QStringList{"/P", m_list} << false << true << ""
                        << "/P was not found.";
  }

  void commandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, runs);
    QFETCH(bool, failed);
    QFETCH(QString, title);
    QFETCH(QString, message);
    CZofrinApp app;
    QCOMPARE(app.InitInstance(arguments), runs);
    QCOMPARE(app.ExitCode() != 0, failed);
    QCOMPARE(app.MainFrame()->isVisible(), runs);
    if (runs) QCOMPARE(app.MainFrame()->windowTitle(), title);
    const auto shown = MessageBoxes::TakeShown();
    QCOMPARE(shown.size(), std::size_t(message.isEmpty() ? 0 : 1));
    if (!message.isEmpty()) {
      QCOMPARE(shown[0].caption, QStringLiteral("Zofrin"));
      QCOMPARE(shown[0].text, message);
      QCOMPARE(shown[0].icon, QMessageBox::Warning);
    }
  }

  void startsWithAnEmptyList() {
    CZofrinApp app;
    QVERIFY(app.InitInstance({}));
    CMainFrame* frame = app.MainFrame();
    QVERIFY(QTest::qWaitForWindowExposed(frame));
    QCOMPARE(frame->View()->CountText(), QStringLiteral("Number of addresses: 0"));
    QCOMPARE(frame->toolBarArea(frame->ToolBar()), Qt::TopToolBarArea);
    auto* ready = frame->findChild<QLabel*>(QStringLiteral("readyLabel"));
    QVERIFY(ready);
    QCOMPARE(ready->text(), QStringLiteral("Ready"));
    QVERIFY(ready->isVisible());
    QVERIFY(frame->statusBar()->currentMessage().isEmpty());
    QVERIFY(!frame->Controller()->Document()->IsModified());
  }

  // The window keeps one size, exactly the view's form plus the bars, and
  // opens at (75, 50).
  void fixedSizeAndPlace() {
    CZofrinApp app;
    QVERIFY(app.InitInstance({}));
    CMainFrame* frame = app.MainFrame();
    QVERIFY(QTest::qWaitForWindowExposed(frame));
    QCOMPARE(frame->pos(), QPoint(75, 50));
    QCOMPARE(frame->minimumSize(), frame->maximumSize());
    QCOMPARE(frame->size(), frame->minimumSize());
    QVERIFY(!(frame->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(frame->windowFlags() & Qt::WindowMinimizeButtonHint);
    QCOMPARE(frame->centralWidget()->size(), frame->View()->FormSize());
    const QSize size = frame->size();

    frame->resize(size + QSize(100, 100));
    QCOMPARE(frame->size(), size);
    QVERIFY(frame->Controller()->OpenDocumentFile(m_list));
    QCOMPARE(frame->size(), size);
    QCOMPARE(frame->centralWidget()->size(), frame->View()->FormSize());
  }

  void toolbarOrder() {
    CZofrinApp app;
    QVERIFY(app.InitInstance({}));
    CMainFrame* frame = app.MainFrame();
    // Left to right; 0 is a separator.
    const QList<int> expected = {kFileNew, kFileOpen, kFileSave, 0,
                                 kAdd, kModify, kDelete, kCrop, 0,
                                 kSelectAll, kUnselectAll, 0,
                                 kCopySelected, kCopySelectedCommas, kCopyGroup,
                                 kCopyGroupCommas, 0,
                                 kExtractFromFiles, kExtractFromClipboard, 0,
                                 kListsOperations, 0,
                                 kHelpTopics};
    QList<int> actual;
    for (QAction* action : frame->ToolBar()->actions()) {
      if (action->isSeparator()) {
        actual << 0;
        continue;
      }
      int id = -1;
      for (const Command& command : kCommands) {
        if (frame->Action(command.id) == action) id = command.id;
      }
      actual << id;
      // Every button has a picture, also on a desktop without an icon theme.
      QVERIFY2(!action->icon().pixmap(16, 15).isNull(), qPrintable(action->toolTip()));
    }
    QCOMPARE(actual, expected);
    QCOMPARE(frame->Action(kDelete)->toolTip(), QStringLiteral("Delete adresses"));
    QCOMPARE(frame->Action(kUnselectAll)->toolTip(), QStringLiteral("Unselect all"));
  }

  void menus() {
    CZofrinApp app;
    QVERIFY(app.InitInstance({}));
    CMainFrame* frame = app.MainFrame();
    QStringList titles;
    for (QAction* action : frame->menuBar()->actions()) titles << action->text();
    QCOMPARE(titles, QStringList({"&File", "&Edit", "&Select", "&Insert", "E&xtract", "&Lists",
                                  "&Help"}));
    // Without recent files the File menu shows the grayed placeholder.
    QMenu* file = frame->menuBar()->actions().first()->menu();
    QStringList items;
    for (QAction* action : file->actions()) {
      if (!action->isVisible()) continue;
      items << (action->isSeparator() ? QStringLiteral("|") : action->text());
      if (action->text() == QStringLiteral("Recent File")) QVERIFY(!action->isEnabled());
    }
    QCOMPARE(items, QStringList({"&New\tCtrl+N", "&Open...\tCtrl+O", "&Save\tCtrl+S",
                                 "Save &As...", "|", "Recent File", "|", "E&xit"}));
  }

  // The status bar shows a command's prompt while its button is pointed at,
  // and "Ready" again afterwards.
  void statusBarPrompt() {
    CZofrinApp app;
    QVERIFY(app.InitInstance({}));
    CMainFrame* frame = app.MainFrame();
    QVERIFY(QTest::qWaitForWindowExposed(frame));
    QWidget* button = frame->ToolBar()->widgetForAction(frame->Action(kCrop));
    QVERIFY(button);
    auto* ready = frame->findChild<QLabel*>(QStringLiteral("readyLabel"));
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), button->mapToGlobal(QPointF(2, 2)));
    QApplication::sendEvent(button, &enter);
    QCOMPARE(frame->statusBar()->currentMessage(),
             QStringLiteral("Delete unselected adresses from the list"));
    QVERIFY(!ready->isVisible());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    QVERIFY(frame->statusBar()->currentMessage().isEmpty());
    QVERIFY(ready->isVisible());
  }

  // The recent files come from the settings file at start-up.
  void recentFilesReadAtStartUp() {
    QDir().mkpath(QFileInfo(SettingsFile()).absolutePath());
    WriteBytes(SettingsFile(), "[Other]\nkey=value\n\n[Recent File List]\nFile1=" +
                                   QFile::encodeName(m_list) + "\nFile2=/lists/old list.lse\n");
    CZofrinApp app;
    QVERIFY(app.InitInstance({}));
    QCOMPARE(app.MainFrame()->Controller()->RecentFiles().Paths(),
             QStringList({m_list, "/lists/old list.lse"}));
    QVERIFY(app.MainFrame()->Action(kRecentFile2)->isVisible());
    QVERIFY(!app.MainFrame()->Action(kRecentFile3)->isVisible());
  }

 private:
  QTemporaryDir m_dir;
  QString m_list;
  QString m_damaged;
};

ZOFRIN_GUI_TEST_MAIN(MainFrameTest)
#include "frame_test.moc"
