// The lists dialog: its layout and keyboard order, loading list files into
// List 1 and List 2 (and what a damaged file leaves), Remove and Remove All,
// the six shifts, the operations "+", "-", "*" and "/", and the merge of
// List 3 into the main list after Transfer.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>

#include "address/list_ops.h"
#include "app/main_frame.h"
#include "app/zofrin_doc.h"
#include "app/zofrin_view.h"
#include "dialogs/lists_dlg.h"
#include "framework/dialog_units.h"
#include "framework/list_pane.h"
#include "gui_test_support.h"

using namespace zofrin;
using namespace zofrin::commands;
using namespace zofrin::test;

namespace {

QString CountLine(qsizetype count) { return QStringLiteral("Number of addresses: %1").arg(count); }

// Addresses in the order a list shows them.
QStringList InDisplayOrder(QStringList addresses) {
  std::sort(addresses.begin(), addresses.end(), [](const QString& a, const QString& b) {
    return CompareDisplay(a.toStdString(), b.toStdString()) < 0;
  });
  return addresses;
}

ListPane& Data(CListsDlg& dialog, int pane) {
  return pane == 1 ? dialog.m_pane1 : pane == 2 ? dialog.m_pane2 : dialog.m_pane3;
}

// What a pane shows and holds: its items top to bottom, its set's keys in
// display order and its count line. A pane whose list and set drift apart
// or whose count line lags behind shows here.
QStringList State(CListsDlg& dialog, int pane) {
  const ListPane& data = Data(dialog, pane);
  QStringList state = Texts(data.list);
  state << QStringLiteral("| set:") << SortedKeys(data.set);
  state << QStringLiteral("| count:")
        << dialog.findChild<QLabel*>(QStringLiteral("count%1").arg(pane))->text();
  return state;
}

// The state of a pane that holds exactly `addresses`.
QStringList Holding(const QStringList& addresses) {
  const QStringList shown = InDisplayOrder(addresses);
  return QStringList(shown) << QStringLiteral("| set:") << shown << QStringLiteral("| count:")
                            << CountLine(addresses.size());
}

void Click(CListsDlg& dialog, const QString& button) {
  auto* widget = dialog.findChild<QPushButton*>(button);
  QVERIFY2(widget, qPrintable(button));
  widget->click();
}

}  // namespace

class ListsDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    UseScriptedUi();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_files = 0;
  }

  void cleanup() {
    m_frame.reset();
    m_document.reset();
    m_dir.reset();
    const auto shown = MessageBoxes::TakeShown();
    QVERIFY2(shown.empty(), shown.empty() ? "" : qPrintable(shown.front().text));
    const auto requests = FileDialogs::TakeRequests();
    QVERIFY2(requests.empty(), requests.empty() ? "" : qPrintable(requests.front().title));
  }

  // The template in dialog units, the keyboard order with Transfer first
  // and focused, and panes that scroll both ways.
  void layoutAndKeyboard() {
    CListsDlg dialog(nullptr);
    const DialogUnits units(dialog.font());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Operations with lists..."));
    QCOMPARE(dialog.size(), units.Size(364, 210));

    struct Control {
      const char* name;
      const char* text;
      int x, y, width, height;
    };
    // In template order, which is also the tab order.
    const Control buttons[] = {
        {"transfer", "Transfer", 325, 190, 33, 14},
        {"cancel", "Cancel", 110, 125, 27, 14},
        {"load1", "Load...", 5, 190, 29, 14},
        {"remove1", "Remove", 34, 190, 33, 14},
        {"removeAll1", "Remove All", 67, 190, 39, 14},
        {"load2", "Load...", 141, 190, 31, 14},
        {"remove2", "Remove", 172, 190, 34, 14},
        {"removeAll2", "Remove All", 206, 190, 39, 14},
        {"remove3", "Remove", 255, 190, 32, 14},
        {"removeAll3", "Remove All", 287, 190, 38, 14},
        {"shift1To2", "List1>>List2", 9, 12, 48, 14},
        {"shift1To3", "List1>>List3", 61, 12, 47, 14},
        {"shift2To1", "List1<<List2", 141, 12, 52, 14},
        {"shift2To3", "List2>>List3", 193, 12, 50, 14},
        {"shift3To1", "List1<<List3", 254, 12, 49, 14},
        {"shift3To2", "List2<<List3", 306, 12, 49, 14},
        {"union", "+", 110, 57, 27, 14},
        {"difference", "-", 110, 74, 27, 14},
        {"intersection", "*", 110, 91, 27, 14},
        {"split", "/", 110, 108, 27, 14},
    };
    for (const Control& control : buttons) {
      auto* button = dialog.findChild<QPushButton*>(QLatin1String(control.name));
      QVERIFY2(button, control.name);
      QCOMPARE(button->text(), QLatin1String(control.text));
      QCOMPARE(button->geometry(), units.Rect(control.x, control.y, control.width, 14));
      QCOMPARE(button->isDefault(), QByteArray(control.name) == "transfer");
    }
    const Control panes[] = {{"list1", "", 6, 41, 98, 128},
                             {"list2", "", 143, 41, 100, 128},
                             {"list3", "", 257, 41, 99, 128}};
    const Control counts[] = {{"count1", "", 6, 172, 98, 8},
                              {"count2", "", 142, 172, 100, 8},
                              {"count3", "", 257, 172, 100, 8}};
    for (int i = 0; i < 3; ++i) {
      auto* pane = dialog.findChild<CListPane*>(QLatin1String(panes[i].name));
      QVERIFY2(pane, panes[i].name);
      QCOMPARE(pane, dialog.Pane(i + 1));
      QCOMPARE(pane->geometry(),
               units.Rect(panes[i].x, panes[i].y, panes[i].width, panes[i].height));
      QCOMPARE(&pane->List(), &Data(dialog, i + 1).list);
      auto* count = dialog.findChild<QLabel*>(QLatin1String(counts[i].name));
      QVERIFY2(count, counts[i].name);
      QCOMPARE(count->geometry(),
               units.Rect(counts[i].x, counts[i].y, counts[i].width, counts[i].height));
      QCOMPARE(State(dialog, i + 1), Holding({}));
    }
    QStringList groups;
    for (const QGroupBox* group : dialog.findChildren<QGroupBox*>()) groups << group->title();
    QCOMPARE(groups,
             QStringList({"Shifting lists between working windows", "List 1", "List 2", "List 3"}));

    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(dialog.focusWidget()->objectName(), QStringLiteral("transfer"));
    // Tab walks every button in template order, then the three panes, and
    // comes back to Transfer.
    QStringList order = {dialog.focusWidget()->objectName()};
    for (int i = 0; i < 23; ++i) {
      QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
      order << dialog.focusWidget()->objectName();
    }
    QStringList expected;
    for (const Control& control : buttons) expected << QLatin1String(control.name);
    expected << "list1" << "list2" << "list3" << "transfer";
    QCOMPARE(order, expected);

    // A long address scrolls into view sideways over 1250 pixels.
    Load(dialog, 1,
         {QStringLiteral("a.rather.long.local.part.that.goes.on@"
                         "a-long-domain-name.example.com")});
    for (int i = 1; i <= 3; ++i) {
      CListPane* pane = dialog.Pane(i);
      QCOMPARE(pane->HorizontalExtent(), 1250);
      QVERIFY(pane->horizontalScrollBar()->isVisible());
      QVERIFY(pane->verticalScrollBar()->isVisible());
      QCOMPARE(pane->horizontalScrollBar()->maximum(), 1250 - pane->viewport()->width());
      QVERIFY(pane->frameShape() != QFrame::NoFrame);
    }
    CListPane* pane = dialog.Pane(1);
    pane->horizontalScrollBar()->setValue(300);
    QCOMPARE(pane->RowRect(0).left(), -300);
  }

  void enterKey_data() {
    QTest::addColumn<QString>("focus");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("openRequests");
    QTest::newRow("on Transfer") << "transfer" << true << 0;
    QTest::newRow("on a pane") << "list2" << true << 0;
    // Enter presses the button that has the focus, as Space does.
    QTest::newRow("on Load... of List 1") << "load1" << false << 1;
    QTest::newRow("on Remove All of List 3") << "removeAll3" << false << 0;
    QTest::newRow("on Cancel") << "cancel" << false << 0;
  }

  void enterKey() {
    QFETCH(QString, focus);
    QFETCH(bool, accepted);
    QFETCH(int, openRequests);
    CListsDlg dialog(nullptr);
    Fill(dialog, {}, {}, {"three@example.com"});
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    // By way of Cancel: a button that had the focus gives Enter back to
    // Transfer when the focus moves on to a pane.
    dialog.findChild<QWidget*>(QStringLiteral("cancel"))->setFocus(Qt::TabFocusReason);
    QWidget* widget = dialog.findChild<QWidget*>(focus);
    widget->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(dialog.focusWidget(), widget);
    QTest::keyClick(widget, Qt::Key_Return);
    QCOMPARE(dialog.result(), accepted ? int(QDialog::Accepted) : int(QDialog::Rejected));
    QCOMPARE(dialog.isVisible(), focus != "cancel" && !accepted);
    QCOMPARE(int(FileDialogs::TakeRequests().size()), openRequests);
    QCOMPARE(int(dialog.m_pane3.list.Count()), focus == "removeAll3" ? 0 : 1);
    QCOMPARE(int(dialog.m_arrTransfer.Size()), accepted ? 1 : 0);
  }

  void operations_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("list1");
    QTest::addColumn<QStringList>("list2");
    QTest::addColumn<QStringList>("list3");
    QTest::addColumn<QStringList>("result");
    const QStringList old = {"old@example.com", "older@example.com"};
    const QStringList abc = {"a@example.com", "b@example.com", "c@example.com"};
    const QStringList bcd = {"d@example.com", "c@example.com", "b@example.com"};
    QTest::newRow("+ both empty keeps List 3")
        << "union" << QStringList{} << QStringList{} << old << old;
    QTest::newRow("+ only List 2") << "union" << QStringList{} << bcd << old << bcd;
    QTest::newRow("+ only List 1") << "union" << abc << QStringList{} << old << abc;
    QTest::newRow("+ overlapping")
        << "union" << abc << bcd << old
        << QStringList{"a@example.com", "b@example.com", "c@example.com", "d@example.com"};
    QTest::newRow("- List 1 empty") << "difference" << QStringList{} << bcd << old << QStringList{};
    QTest::newRow("- both empty") << "difference" << QStringList{} << QStringList{} << old
                                  << QStringList{};
    QTest::newRow("- List 2 empty") << "difference" << abc << QStringList{} << old << abc;
    QTest::newRow("- overlapping")
        << "difference" << abc << bcd << old << QStringList{"a@example.com"};
    QTest::newRow("- List 2 holds all of List 1")
        << "difference" << bcd.mid(1) << bcd << old << QStringList{};
    QTest::newRow("* List 1 empty")
        << "intersection" << QStringList{} << bcd << old << QStringList{};
    QTest::newRow("* List 2 empty")
        << "intersection" << abc << QStringList{} << old << QStringList{};
    QTest::newRow("* overlapping")
        << "intersection" << abc << bcd << old << QStringList{"b@example.com", "c@example.com"};
    // Letter case makes two addresses.
    const QStringList upper = {"Ann@example.com", "bob@example.com"};
    const QStringList lower = {"ann@example.com"};
    QTest::newRow("+ case twins") << "union" << upper << lower << old
                                  << QStringList{"Ann@example.com", "ann@example.com",
                                                 "bob@example.com"};
    QTest::newRow("- case twins") << "difference" << upper << lower << old << upper;
    QTest::newRow("* case twins") << "intersection" << upper << lower << old << QStringList{};
    // List 1 holds both spellings: "-" takes out exactly the one List 2
    // names, even the one that sorts second.
    const QStringList both = {"Ann@example.com", "ann@example.com", "bob@example.com"};
    QTest::newRow("- one twin of two, lower case")
        << "difference" << both << lower << old
        << QStringList{"Ann@example.com", "bob@example.com"};
    QTest::newRow("- one twin of two, capitalised")
        << "difference" << both << QStringList{"Ann@example.com"} << old
        << QStringList{"ann@example.com", "bob@example.com"};
    QTest::newRow("* one twin of two") << "intersection" << both << lower << old << lower;
  }

  // Each operation writes List 3 only, and pressing it again gives the
  // same result.
  void operations() {
    QFETCH(QString, button);
    QFETCH(QStringList, list1);
    QFETCH(QStringList, list2);
    QFETCH(QStringList, list3);
    QFETCH(QStringList, result);
    CListsDlg dialog(nullptr);
    Fill(dialog, list1, list2, list3);
    Data(dialog, 1).list.SetSel(true, 0);
    const QList<int> selected = SelectedIndexes(Data(dialog, 1).list);
    for (int press = 1; press <= 2; ++press) {
      Click(dialog, button);
      QCOMPARE(State(dialog, 3), Holding(result));
      QCOMPARE(State(dialog, 1), Holding(list1));
      QCOMPARE(State(dialog, 2), Holding(list2));
      QCOMPARE(SelectedIndexes(Data(dialog, 1).list), selected);
    }
  }

  void split_data() {
    QTest::addColumn<QStringList>("list1");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QStringList>("above");
    QTest::addColumn<QStringList>("below");
    // Shown as a, B, c, d.
    const QStringList four = {"c@example.com", "a@example.com", "d@example.com", "B@example.com"};
    const QStringList old2 = {"old2@example.com"};
    const QStringList old3 = {"old3@example.com", "older3@example.com"};
    QTest::newRow("empty List 1, silently nothing")
        << QStringList{} << QList<int>{} << false << old2 << old3;
    QTest::newRow("none selected") << four << QList<int>{} << true << old2 << old3;
    QTest::newRow("two selected") << four << QList<int>{0, 2} << true << old2 << old3;
    QTest::newRow("all selected") << four << QList<int>{0, 1, 2, 3} << true << old2 << old3;
    QTest::newRow("first selected") << four << QList<int>{0} << false << QStringList{} << four;
    QTest::newRow("last selected") << four << QList<int>{3} << false
                                   << QStringList{"a@example.com", "B@example.com", "c@example.com"}
                                   << QStringList{"d@example.com"};
    QTest::newRow("second selected")
        << four << QList<int>{1} << false << QStringList{"a@example.com"}
        << QStringList{"B@example.com", "c@example.com", "d@example.com"};
    QTest::newRow("the only item selected")
        << QStringList{"solo@example.com"} << QList<int>{0} << false << QStringList{}
        << QStringList{"solo@example.com"};
  }

  // "/" cuts List 1 at its one selected item and leaves List 1 as it was;
  // pressed twice it gives the same panes and, when refused, the same box.
  void split() {
    QFETCH(QStringList, list1);
    QFETCH(QList<int>, selected);
    QFETCH(bool, refused);
    QFETCH(QStringList, above);
    QFETCH(QStringList, below);
    CListsDlg dialog(nullptr);
    Fill(dialog, list1, {"old2@example.com"}, {"old3@example.com", "older3@example.com"});
    for (int index : selected) Data(dialog, 1).list.SetSel(true, std::size_t(index));
    for (int press = 1; press <= 2; ++press) {
      Click(dialog, QStringLiteral("split"));
      QCOMPARE(State(dialog, 1), Holding(list1));
      QCOMPARE(SelectedIndexes(Data(dialog, 1).list), selected);
      QCOMPARE(State(dialog, 2), Holding(above));
      QCOMPARE(State(dialog, 3), Holding(below));
      const auto shown = MessageBoxes::TakeShown();
      QCOMPARE(int(shown.size()), refused ? 1 : 0);
      if (refused) {
        QCOMPARE(shown[0].caption, QStringLiteral("Information"));
        QCOMPARE(shown[0].text,
                 QStringLiteral("You must select exectly only \none item for list spliting!"));
        QCOMPARE(shown[0].icon, QMessageBox::Information);
        QCOMPARE(shown[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
      }
    }
  }

  void shifts_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("source");
    QTest::addColumn<int>("target");
    QTest::newRow("List1>>List2") << "shift1To2" << 1 << 2;
    QTest::newRow("List1>>List3") << "shift1To3" << 1 << 3;
    QTest::newRow("List1<<List2") << "shift2To1" << 2 << 1;
    QTest::newRow("List2>>List3") << "shift2To3" << 2 << 3;
    QTest::newRow("List1<<List3") << "shift3To1" << 3 << 1;
    QTest::newRow("List2<<List3") << "shift3To2" << 3 << 2;
  }

  // A shift moves the whole source, selected or not, over whatever the
  // target held; from an empty source it changes nothing at all.
  void shifts() {
    QFETCH(QString, button);
    QFETCH(int, source);
    QFETCH(int, target);
    const QStringList contents[] = {
        {},
        {"one@example.com", "One@example.com", "uno@example.org"},
        {"two@example.com"},
        {"three@example.com", "tres@example.org", "drei@example.net", "trois@example.fr"}};
    CListsDlg dialog(nullptr);
    Fill(dialog, contents[1], contents[2], contents[3]);
    Data(dialog, source).list.SetSel(true, 0);
    const int other = 6 - source - target;

    Click(dialog, button);
    QCOMPARE(State(dialog, source), Holding({}));
    QCOMPARE(State(dialog, target), Holding(contents[source]));
    QCOMPARE(State(dialog, other), Holding(contents[other]));
    QCOMPARE(Data(dialog, target).list.SelectedCount(), std::size_t{0});

    Click(dialog, button);
    QCOMPARE(State(dialog, source), Holding({}));
    QCOMPARE(State(dialog, target), Holding(contents[source]));
    QCOMPARE(State(dialog, other), Holding(contents[other]));
  }

  void shiftThereAndBack() {
    const QStringList first = {"a@example.com", "B@example.com", "c@example.com"};
    CListsDlg dialog(nullptr);
    Fill(dialog, first, {"x@example.com", "y@example.com"}, {});
    Click(dialog, QStringLiteral("shift1To2"));
    Click(dialog, QStringLiteral("shift2To1"));
    QCOMPARE(State(dialog, 1), Holding(first));
    QCOMPARE(State(dialog, 2), Holding({}));
  }

  // Load asks for one list file and replaces the pane with what it holds;
  // the other panes stay as they were.
  void loadReplacesPane() {
    const QStringList kept1 = {"keep@example.com", "also@example.com"};
    const QStringList kept2 = {"two@example.com"};
    const QStringList kept3 = {"three@example.com"};
    CListsDlg dialog(nullptr);
    Fill(dialog, kept1, kept2, kept3);
    FileDialogs::TakeRequests();

    // Two spellings of one name are two addresses.
    const QStringList twins = {"Ann@example.com", "ann@example.com", "zed@example.com"};
    FileDialogs::QueueAnswer({Write(twins)});
    Click(dialog, QStringLiteral("load1"));
    QCOMPARE(State(dialog, 1), Holding(twins));
    QCOMPARE(State(dialog, 2), Holding(kept2));
    QCOMPARE(State(dialog, 3), Holding(kept3));

    // A file of no entries empties the pane.
    FileDialogs::QueueAnswer({Write({})});
    Click(dialog, QStringLiteral("load2"));
    QCOMPARE(State(dialog, 2), Holding({}));
    QCOMPARE(State(dialog, 1), Holding(twins));

    // Cancelled: nothing changes.
    FileDialogs::QueueAnswer({});
    Click(dialog, QStringLiteral("load1"));
    QCOMPARE(State(dialog, 1), Holding(twins));

    const auto requests = FileDialogs::TakeRequests();
    QCOMPARE(int(requests.size()), 3);
    for (const FileDialogRequest& request : requests) {
      QCOMPARE(request.title, QStringLiteral("Open"));
      QCOMPARE(request.filters, QStringList{"Zofrin List files (*.lse)"});
      QVERIFY(!request.save);
      QVERIFY(!request.multiple);
      QVERIFY(request.proposed.isEmpty());
    }
  }

  // The same file in both panes gives two panes that go their own ways.
  void loadSameFileTwice() {
    const QStringList three = {"a@example.com", "b@example.com", "c@example.com"};
    const QString path = Write(three);
    CListsDlg dialog(nullptr);
    FileDialogs::QueueAnswer({path});
    FileDialogs::QueueAnswer({path});
    Click(dialog, QStringLiteral("load1"));
    Click(dialog, QStringLiteral("load2"));
    FileDialogs::TakeRequests();
    QCOMPARE(State(dialog, 1), Holding(three));
    QCOMPARE(State(dialog, 2), Holding(three));
    Data(dialog, 1).list.SetSel(true, 1);
    Click(dialog, QStringLiteral("remove1"));
    QCOMPARE(State(dialog, 1), Holding({"a@example.com", "c@example.com"}));
    QCOMPARE(State(dialog, 2), Holding(three));
    Click(dialog, QStringLiteral("removeAll2"));
    QCOMPARE(State(dialog, 1), Holding({"a@example.com", "c@example.com"}));
    QCOMPARE(State(dialog, 2), Holding({}));
  }

  void loadFailure_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");  // %1 for the path; empty: no box
    const QString pastEnd = QStringLiteral("An attempt was made to access %1 past its end.");
    const QByteArray two = ListBytes({"x@example.com", "y@example.com"});
    QByteArray overcounted = two;
    overcounted[0] = 3;
    QTest::newRow("ends inside a string") << two.chopped(3) << pastEnd;
    QTest::newRow("ends before a value") << two.chopped(1) << pastEnd;
    QTest::newRow("more entries announced than held") << overcounted << pastEnd;
    QTest::newRow("one byte") << QByteArray("\x01", 1) << pastEnd;
    // Count 1, then a wide mark followed by another wide mark.
    QTest::newRow("wide mark twice") << QByteArray("\x01\x00\xFF\xFE\xFF\xFF\xFE\xFF", 8)
                                     << QStringLiteral("Unexpected file format.");
    QTest::newRow("missing file") << QByteArray() << QString();
    QTest::newRow("a folder") << QByteArray() << QString();
  }

  // A file that fails leaves the pane exactly as it was, selection and
  // count line included; one that cannot be opened says nothing, one that
  // fails part-way shows the failure in the error box.
  void loadFailure() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    const QStringList kept = {"keep@example.com", "Keep@example.com", "more@example.org"};
    CListsDlg dialog(nullptr);
    Fill(dialog, kept, kept, {});
    Data(dialog, 1).list.SetSel(true, 1);
    QString path = m_dir->filePath(QStringLiteral("damaged.lse"));
    const QString row = QString::fromLatin1(QTest::currentDataTag());
    if (row == "a folder") {
      QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("folder.lse")));
      path = m_dir->filePath(QStringLiteral("folder.lse"));
    } else if (row != "missing file") {
      WriteBytes(path, bytes);
    }
    FileDialogs::QueueAnswer({path});
    Click(dialog, QStringLiteral("load1"));
    FileDialogs::TakeRequests();
    QCOMPARE(State(dialog, 1), Holding(kept));
    QCOMPARE(SelectedIndexes(Data(dialog, 1).list), QList<int>{1});
    QCOMPARE(State(dialog, 2), Holding(kept));

    const auto shown = MessageBoxes::TakeShown();
    if (message.isEmpty()) {
      QCOMPARE(int(shown.size()), 0);
      return;
    }
    QCOMPARE(int(shown.size()), 1);
    QCOMPARE(shown[0].caption, QStringLiteral("Zofrin"));
    QCOMPARE(shown[0].text, QString(message).replace(QStringLiteral("%1"), path));
    QCOMPARE(shown[0].icon, QMessageBox::Critical);
    QCOMPARE(shown[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    // The pane works on afterwards as it did before.
    Click(dialog, QStringLiteral("remove1"));
    QCOMPARE(State(dialog, 1), Holding({"Keep@example.com", "more@example.org"}));
  }

  void remove_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("pane");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QList<int>>("remaining");
    for (int pane = 1; pane <= 3; ++pane) {
      const QString remove = QStringLiteral("remove%1").arg(pane);
      const QString removeAll = QStringLiteral("removeAll%1").arg(pane);
      QTest::addRow("Remove %d, two of four", pane)
          << remove << pane << QList<int>{1, 3} << QList<int>{0, 2};
      QTest::addRow("Remove %d, all", pane)
          << remove << pane << QList<int>{0, 1, 2, 3} << QList<int>{};
      QTest::addRow("Remove %d, none selected", pane)
          << remove << pane << QList<int>{} << QList<int>{0, 1, 2, 3};
      QTest::addRow("Remove All %d", pane) << removeAll << pane << QList<int>{2} << QList<int>{};
    }
  }

  void remove() {
    QFETCH(QString, button);
    QFETCH(int, pane);
    QFETCH(QList<int>, selected);
    QFETCH(QList<int>, remaining);
    // Each pane its own addresses, so that a command on the wrong pane shows.
    QStringList contents[4];
    for (int i = 1; i <= 3; ++i) {
      // Shown as a, B, b, c: the twins are removed by text, one at a time.
      const QString domain = QStringLiteral("@p%1.com").arg(i);
      contents[i] = QStringList{"a" + domain, "B" + domain, "b" + domain, "c" + domain};
    }
    CListsDlg dialog(nullptr);
    Fill(dialog, contents[1], contents[2], contents[3]);
    for (int index : selected) Data(dialog, pane).list.SetSel(true, std::size_t(index));
    Click(dialog, button);
    QStringList left;
    for (int index : remaining) left << InDisplayOrder(contents[pane])[index];
    for (int i = 1; i <= 3; ++i) {
      QCOMPARE(State(dialog, i), Holding(i == pane ? left : contents[i]));
    }
  }

  // Transfer through the main window's command: List 3 is merged into the
  // main list and the document's set in List 3's order; an address already
  // there stays once and ends unselected, other items keep their selection.
  void transferMerges() {
    QStringList many;
    for (int i = 0; i < 40; ++i) many << QStringLiteral("user%1@example.com").arg(i);
    const QStringList main = {"ann@example.com", "carl@example.net", "eve@example.com",
                              "user7@example.com"};
    const QStringList list1 = QStringList(many) << "Ann@example.com"
                                                << "carl@example.net"
                                                << "gone@example.com";
    const QStringList list2 = {"gone@example.com", "user3@example.com"};
    ShowMain(main, {1, 2});  // carl and eve
    bool ran = false;
    QStringList list3;
    RunLists([&](CListsDlg* dialog) {
      ran = true;
      for (int i = 1; i <= 3; ++i) QCOMPARE(State(*dialog, i), Holding({}));
      Fill(*dialog, list1, list2, {});
      Click(*dialog, QStringLiteral("difference"));
      list3 = Texts(dialog->m_pane3.list);
      Click(*dialog, QStringLiteral("transfer"));
    });
    QVERIFY(ran);
    QCOMPARE(list3.size(), list1.size() - 2);

    AddressSet expected = MakeSet(main);
    for (const QString& address : list3) expected.Store(address.toStdString());
    const QStringList all = SortedKeys(expected);
    QCOMPARE(Texts(m_view->m_listMain), all);
    QCOMPARE(SortedKeys(m_document->m_setAddresses), all);
    QCOMPARE(SetBytes(m_document->m_setAddresses), SetBytes(expected));
    const QList<int> selected = {int(all.indexOf("eve@example.com"))};
    QCOMPARE(SelectedIndexes(m_view->m_listMain), selected);
    QVERIFY(m_document->IsModified());
    QCOMPARE(m_view->CountText(), CountLine(all.size()));
    QCOMPARE(m_view->findChild<QLabel*>(QStringLiteral("countLine"))->text(),
             CountLine(all.size()));
  }

  // An empty List 3 brings nothing, yet the document counts as changed.
  // Enter is Transfer.
  void transferEmptyList3() {
    const QStringList main = {"ann@example.com", "bob@example.com"};
    ShowMain(main, {0});
    const QByteArray before = SetBytes(m_document->m_setAddresses);
    bool ran = false;
    RunLists([&](CListsDlg* dialog) {
      ran = true;
      Fill(*dialog, {"x@example.com"}, {"x@example.com"}, {});
      Click(*dialog, QStringLiteral("intersection"));
      Click(*dialog, QStringLiteral("difference"));
      QCOMPARE(State(*dialog, 3), Holding({}));
      QTest::keyClick(dialog, Qt::Key_Return);
    });
    QVERIFY(ran);
    QCOMPARE(Texts(m_view->m_listMain), main);
    QCOMPARE(SelectedIndexes(m_view->m_listMain), QList<int>{0});
    QCOMPARE(SetBytes(m_document->m_setAddresses), before);
    QVERIFY(m_document->IsModified());
    QCOMPARE(m_view->CountText(), CountLine(2));
  }

  // Cancel and Esc after any amount of work leave the document as it was,
  // and the next run starts with empty panes again.
  void cancelLeavesDocument() {
    const QStringList main = {"ann@example.com", "bob@example.com", "carl@example.net"};
    ShowMain(main, {2});
    const QByteArray before = SetBytes(m_document->m_setAddresses);
    for (const char* how : {"cancel", "escape", "close"}) {
      bool ran = false;
      RunLists([&](CListsDlg* dialog) {
        ran = true;
        for (int i = 1; i <= 3; ++i) QCOMPARE(State(*dialog, i), Holding({}));
        Fill(*dialog, {"new@example.com", "ann@example.com"}, {"other@example.com"}, {});
        Click(*dialog, QStringLiteral("union"));
        QCOMPARE(int(dialog->m_pane3.list.Count()), 3);
        if (QByteArray(how) == "cancel") {
          Click(*dialog, QStringLiteral("cancel"));
        } else if (QByteArray(how) == "escape") {
          QTest::keyClick(dialog, Qt::Key_Escape);
        } else {
          dialog->close();
        }
      });
      QVERIFY2(ran, how);
      QCOMPARE(Texts(m_view->m_listMain), main);
      QCOMPARE(SelectedIndexes(m_view->m_listMain), QList<int>{2});
      QCOMPARE(SetBytes(m_document->m_setAddresses), before);
      QVERIFY(!m_document->IsModified());
      QCOMPARE(m_view->CountText(), CountLine(3));
    }
  }

 private:
  // A list file of `addresses` in the test's folder.
  QString Write(const QStringList& addresses) {
    const QString path = m_dir->filePath(QStringLiteral("list%1.lse").arg(++m_files));
    WriteBytes(path, ListBytes(addresses));
    return path;
  }

  void Load(CListsDlg& dialog, int pane, const QStringList& addresses) {
    dialog.LoadInto(pane, Write(addresses));
  }

  // Fills the panes through the dialog's own commands: List 3 by loading
  // List 1 and shifting it over.
  void Fill(CListsDlg& dialog, const QStringList& list1, const QStringList& list2,
            const QStringList& list3) {
    if (!list3.isEmpty()) {
      Load(dialog, 1, list3);
      Click(dialog, QStringLiteral("shift1To3"));
    }
    Load(dialog, 1, list1);
    Load(dialog, 2, list2);
    QCOMPARE(State(dialog, 1), Holding(list1));
    QCOMPARE(State(dialog, 2), Holding(list2));
    QCOMPARE(State(dialog, 3), Holding(list3));
  }

  // The main window with `addresses` as its list, unmodified.
  void ShowMain(const QStringList& addresses, const QList<int>& selected) {
    m_document = std::make_unique<CZofrinDoc>();
    m_frame = std::make_unique<CMainFrame>(m_document.get());
    m_view = m_frame->View();
    m_frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
    m_document->m_setAddresses = MakeSet(addresses);
    m_document->SetModifiedFlag(false);
    m_view->OnInitialUpdate();
    for (int index : selected) m_view->m_listMain.SetSel(true, std::size_t(index));
    m_frame->UpdateCommandUI();
  }

  // Runs the menu command "Lists operations..." with `script` acting in the
  // dialog once it is up. A dialog the script leaves open is cancelled, so
  // that a failing check cannot hang the test.
  void RunLists(const std::function<void(CListsDlg*)>& script) {
    QTimer timer;
    timer.setInterval(10);
    connect(&timer, &QTimer::timeout, [&] {
      auto* dialog = qobject_cast<CListsDlg*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      timer.stop();
      script(dialog);
      if (dialog->isVisible()) dialog->reject();
    });
    timer.start();
    m_frame->Dispatch(kListsOperations);
  }

  std::unique_ptr<QTemporaryDir> m_dir;
  int m_files = 0;
  std::unique_ptr<CZofrinDoc> m_document;
  std::unique_ptr<CMainFrame> m_frame;
  CZofrinView* m_view = nullptr;
};

ZOFRIN_GUI_TEST_MAIN(ListsDialogTest)
#include "lists_dialog_test.moc"
