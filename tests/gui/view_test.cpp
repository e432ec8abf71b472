// The view's commands on the main list: Delete, Crop, the selection
// commands, their enabling on menu items, toolbar buttons and the context
// menu, the exact lookup and the context menu itself.
#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTest>
#include <QToolBar>
#include <memory>

#include "app/main_frame.h"
#include "app/zofrin_doc.h"
#include "app/zofrin_view.h"
#include "gui_test_support.h"

using namespace zofrin;
using namespace zofrin::commands;
using namespace zofrin::test;

namespace {

const QStringList kFive = {"a1@example.com", "b2@example.com", "c3@example.com",
                           "d4@example.com", "e5@example.com"};

// The commands whose enabling depends on the list and its selection.
const QList<int> kRuled = {kDelete, kCrop, kSelectAll, kUnselectAll, kInvertSelection, kModify,
                           kFind};

QString CountLine(int count) { return QStringLiteral("Number of addresses: %1").arg(count); }

}  // namespace

class ViewTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    UseScriptedUi();
    m_document = std::make_unique<CZofrinDoc>();
    m_frame = std::make_unique<CMainFrame>(m_document.get());
    m_view = m_frame->View();
    m_frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
  }

  void cleanup() {
    m_frame.reset();
    m_document.reset();
    // Every box a test expects, it takes; any other one is a fault.
    const auto shown = MessageBoxes::TakeShown();
    QVERIFY2(shown.empty(), shown.empty() ? "" : qPrintable(shown.front().text));
  }

  void initialUpdateShowsTheSet() {
    m_view->m_nGroupSize = 7;
    Show({"eve@example.com", "ann@example.com", "Carl@example.net"}, {0});
    QCOMPARE(Texts(m_view->m_listMain),
             QStringList({"ann@example.com", "Carl@example.net", "eve@example.com"}));
    // A second initial update starts over: nothing selected, group size 50.
    m_view->OnInitialUpdate();
    QCOMPARE(m_view->m_listMain.SelectedCount(), std::size_t{0});
    QCOMPARE(m_view->m_nGroupSize, 50);
    QCOMPARE(m_view->CountText(), CountLine(3));
    QCOMPARE(m_view->findChild<QLabel*>(QStringLiteral("countLine"))->text(), CountLine(3));
    QCOMPARE(m_frame->centralWidget()->size(), m_view->FormSize());
  }

  void deleteAndCrop_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QStringList>("remaining");
    QTest::addColumn<bool>("modified");
    QTest::newRow("delete items 1 and 3 of five")
        << int(kDelete) << QList<int>{1, 3}
        << QStringList{"a1@example.com", "c3@example.com", "e5@example.com"} << true;
    QTest::newRow("delete all") << int(kDelete) << QList<int>{0, 1, 2, 3, 4} << QStringList{}
                                << true;
    QTest::newRow("delete with nothing selected") << int(kDelete) << QList<int>{} << kFive
                                                  << false;
    QTest::newRow("crop items 1 and 3 of five")
        << int(kCrop) << QList<int>{1, 3} << QStringList{"b2@example.com", "d4@example.com"}
        << true;
    QTest::newRow("crop with nothing selected") << int(kCrop) << QList<int>{} << QStringList{}
                                                << true;
    QTest::newRow("crop with all selected") << int(kCrop) << QList<int>{0, 1, 2, 3, 4} << kFive
                                            << false;
  }

  // The handlers run directly, also where their enabling rule would stop
  // them: then they must change nothing.
  void deleteAndCrop() {
    QFETCH(int, command);
    QFETCH(QList<int>, selected);
    QFETCH(QStringList, remaining);
    QFETCH(bool, modified);
    Show(kFive, selected);
    if (command == kDelete) {
      m_view->OnDelete();
    } else {
      m_view->OnCrop();
    }
    QCOMPARE(Texts(m_view->m_listMain), remaining);
    QCOMPARE(SortedKeys(m_document->m_setAddresses), remaining);
    QCOMPARE(m_document->IsModified(), modified);
    QCOMPARE(m_view->CountText(), CountLine(int(remaining.size())));
    // Delete leaves nothing selected, Crop keeps only selected items.
    QCOMPARE(m_view->m_listMain.SelectedCount(),
             std::size_t(command == kCrop ? remaining.size() : 0));
    // The enabling rules follow the change without a menu being opened.
    for (int id : kRuled) {
      QCOMPARE(m_frame->Action(Id(id))->isEnabled(), m_view->IsEnabled(Id(id)));
    }
  }

  void enablingRules_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QList<int>>("enabled");
    QTest::newRow("empty list") << 0 << QList<int>{} << QList<int>{};
    QTest::newRow("none selected")
        << 3 << QList<int>{}
        << QList<int>{kCrop, kSelectAll, kInvertSelection, kModify, kFind};
    QTest::newRow("some selected") << 3 << QList<int>{1} << kRuled;
    QTest::newRow("all selected")
        << 3 << QList<int>{0, 1, 2}
        << QList<int>{kDelete, kUnselectAll, kInvertSelection, kModify, kFind};
    QTest::newRow("the one item selected")
        << 1 << QList<int>{0}
        << QList<int>{kDelete, kUnselectAll, kInvertSelection, kModify, kFind};
  }

  // Each rule holds for the menu item, the toolbar button and the context
  // menu item alike, and is evaluated again when a menu opens.
  void enablingRules() {
    QFETCH(int, count);
    QFETCH(QList<int>, selected);
    QFETCH(QList<int>, enabled);
    Show(kFive.mid(0, count), {});
    // Selected behind the view's back: only opening a menu shows it.
    for (int index : selected) m_view->m_listMain.SetSel(true, std::size_t(index));
    QMenu* selectMenu = Menu(QStringLiteral("&Select"));
    selectMenu->popup(m_frame->mapToGlobal(QPoint(10, 10)));
    QTRY_VERIFY(selectMenu->isVisible());
    selectMenu->hide();

    for (int id : kRuled) {
      const bool expected = enabled.contains(id);
      const QString what = QString::number(id);
      QVERIFY2(m_view->IsEnabled(Id(id)) == expected, qPrintable(what));
      QVERIFY2(m_frame->Action(Id(id))->isEnabled() == expected, qPrintable(what));
      if (QWidget* button = m_frame->ToolBar()->widgetForAction(m_frame->Action(Id(id)))) {
        QVERIFY2(button->isEnabled() == expected, qPrintable(what));
      }
    }
    QCOMPARE(ContextItem(kDelete)->isEnabled(), enabled.contains(kDelete));
    QCOMPARE(ContextItem(kModify)->isEnabled(), enabled.contains(kModify));
    QVERIFY(ContextItem(kAdd)->isEnabled());
    // A disabled command does nothing when it is asked for anyway.
    if (!enabled.contains(kDelete)) {
      m_frame->Dispatch(kDelete);
      QCOMPARE(m_view->m_listMain.Count(), std::size_t(count));
    }
  }

  void selectionCommands_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<int>("command");
    QTest::addColumn<QList<int>>("after");
    QTest::newRow("invert four with 0 and 2 selected")
        << 4 << QList<int>{0, 2} << int(kInvertSelection) << QList<int>{1, 3};
    QTest::newRow("invert with none selected")
        << 3 << QList<int>{} << int(kInvertSelection) << QList<int>{0, 1, 2};
    QTest::newRow("select all") << 4 << QList<int>{2} << int(kSelectAll)
                                << QList<int>{0, 1, 2, 3};
    QTest::newRow("unselect all") << 4 << QList<int>{0, 3} << int(kUnselectAll) << QList<int>{};
    QTest::newRow("unselect the one item") << 1 << QList<int>{0} << int(kUnselectAll)
                                           << QList<int>{};
  }

  void selectionCommands() {
    QFETCH(int, count);
    QFETCH(QList<int>, selected);
    QFETCH(int, command);
    QFETCH(QList<int>, after);
    for (const bool modified : {false, true}) {
      Show(kFive.mid(0, count), selected);
      m_document->SetModifiedFlag(modified);
      m_frame->Dispatch(Id(command));
      QCOMPARE(SelectedIndexes(m_view->m_listMain), after);
      QCOMPARE(Texts(m_view->m_listMain), kFive.mid(0, count));
      QCOMPARE(m_document->m_setAddresses.Count(), std::size_t(count));
      QCOMPARE(m_document->IsModified(), modified);
      QCOMPARE(m_frame->Action(kDelete)->isEnabled(), !after.isEmpty());
    }
  }

  void findAddress_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("found");
    QTest::newRow("lower-case twin") << "ann@example.com" << true;
    QTest::newRow("capitalised twin") << "Ann@example.com" << true;
    QTest::newRow("third spelling, not in the set") << "ANN@example.com" << false;
    QTest::newRow("absent") << "bob@example.com" << false;
    QTest::newRow("first item") << "a00@example.com" << true;
    QTest::newRow("last item") << "zz39@example.com" << true;
  }

  void findAddress() {
    QFETCH(QString, address);
    QFETCH(bool, found);
    // Enough items around the twins to scroll each of them to the top.
    QStringList addresses = {"Ann@example.com", "ann@example.com"};
    for (int i = 0; i < 40; ++i) {
      addresses << QStringLiteral("a%1@example.com").arg(i, 2, 10, QLatin1Char('0'))
                << QStringLiteral("zz%1@example.com").arg(i, 2, 10, QLatin1Char('0'));
    }
    Show(addresses, {3});
    SortedAddressList& list = m_view->m_listMain;
    list.ScrollTo(5);
    m_view->ListPane()->Refresh();

    const std::size_t index = m_view->FindAddress(address.toStdString());
    if (!found) {
      QCOMPARE(index, SortedAddressList::npos);
      QCOMPARE(list.TopIndex(), std::size_t{5});
    } else {
      QVERIFY(index != SortedAddressList::npos);
      QCOMPARE(QString::fromStdString(std::string(list.Text(index))), address);
      const std::size_t lastTop = list.Count() - m_view->ListPane()->viewport()->height() /
                                                     m_view->ListPane()->RowHeight();
      QCOMPARE(list.TopIndex(), std::min(index, lastTop));
      QCOMPARE(m_view->ListPane()->verticalScrollBar()->value(), int(list.TopIndex()));
    }
    QCOMPARE(SelectedIndexes(list), QList<int>{3});
    QVERIFY(!m_document->IsModified());
  }

  void contextMenuItems() {
    QStringList texts;
    for (QAction* action : m_frame->ContextMenu()->actions()) {
      texts << (action->isSeparator() ? QStringLiteral("|") : action->text());
    }
    QCOMPARE(texts, QStringList({"Add...", "Modify...", "Delete", "|", "Extract from CB"}));
    // The chosen item reaches the view like the menu command.
    Show(kFive, {0});
    ContextItem(kDelete)->trigger();
    QCOMPARE(Texts(m_view->m_listMain), kFive.mid(1));
    QVERIFY(m_document->IsModified());
  }

  void contextMenuPlaces_data() {
    QTest::addColumn<QString>("request");
    QTest::newRow("Shift+F10") << "Shift+F10";
    // The window system turns the Menu key into a keyboard request.
    QTest::newRow("Menu key") << "keyboard request";
    QTest::newRow("right click") << "right click";
  }

  void contextMenuPlaces() {
    QFETCH(QString, request);
    Show(kFive, {1});
    CListPane* pane = m_view->ListPane();
    m_frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_frame.get()));
    pane->setFocus();
    QPoint expected = m_view->mapToGlobal(QPoint(5, 5));
    if (request == "Shift+F10") {
      // Through the window, as the keyboard delivers it.
      QTest::keyClick(m_frame->windowHandle(), Qt::Key_F10, Qt::ShiftModifier);
    } else if (request == "keyboard request") {
      QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(40, 40),
                              pane->mapToGlobal(QPoint(40, 40)));
      QApplication::sendEvent(pane, &event);
    } else {
      const QPoint local = pane->RowRect(2).center();
      QContextMenuEvent event(QContextMenuEvent::Mouse, local,
                              pane->viewport()->mapToGlobal(local));
      QApplication::sendEvent(pane->viewport(), &event);
      expected = pane->viewport()->mapToGlobal(local);
    }
    QMenu* menu = m_frame->ContextMenu();
    QTRY_VERIFY(menu->isVisible());
    QCOMPARE(menu->pos(), expected);
    menu->hide();
    // Opening the menu changes neither the list nor the flag.
    QCOMPARE(SelectedIndexes(m_view->m_listMain), QList<int>{1});
    QVERIFY(!m_document->IsModified());
  }

  // The Delete key and a double click are the list's own business: they
  // edit nothing.
  void listKeysDoNotEdit() {
    Show(kFive, {2});
    CListPane* pane = m_view->ListPane();
    pane->setFocus();
    QTest::keyClick(pane, Qt::Key_Delete);
    QTest::mouseDClick(pane->viewport(), Qt::LeftButton, {}, pane->RowRect(2).center());
    QCOMPARE(Texts(m_view->m_listMain), kFive);
    QVERIFY(!m_document->IsModified());
  }

 private:
  // Puts `addresses` into the document, runs the initial update and selects
  // the given items.
  void Show(const QStringList& addresses, const QList<int>& selected) {
    m_document->m_setAddresses = MakeSet(addresses);
    m_document->SetModifiedFlag(false);
    m_view->OnInitialUpdate();
    for (int index : selected) m_view->m_listMain.SetSel(true, std::size_t(index));
    m_frame->UpdateCommandUI();
  }

  QMenu* Menu(const QString& title) const {
    for (QAction* action : m_frame->menuBar()->actions()) {
      if (action->text() == title) return action->menu();
    }
    return nullptr;
  }

  QAction* ContextItem(Id id) const {
    return m_frame->ContextMenu()->findChild<QAction*>(QStringLiteral("context%1").arg(id));
  }

  std::unique_ptr<CZofrinDoc> m_document;
  std::unique_ptr<CMainFrame> m_frame;
  CZofrinView* m_view = nullptr;
};

ZOFRIN_GUI_TEST_MAIN(ViewTest)
#include "view_test.moc"
