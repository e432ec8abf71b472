// Typing addresses and the Clipboard: Add, Modify and Find with their
// dialogs, the group size dialog and its field check, the copy commands and
// group copies, Extraction from the Clipboard, and the enabling of these
// commands. The dialogs run modally as the user sees them; a driver acts on
// each one once it is shown.
#include <QAction>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <utility>

#include "address/list_file.h"
#include "address/list_ops.h"
#include "address/scanner.h"
#include "address/validity.h"
#include "app/address_dialogs.h"
#include "app/main_frame.h"
#include "app/zofrin_doc.h"
#include "app/zofrin_view.h"
#include "framework/dialog_units.h"
#include "framework/document_controller.h"
#include "gui_test_support.h"

using namespace zofrin;
using namespace zofrin::commands;
using namespace zofrin::test;

namespace {

const QStringList kFive = {"a@example.com", "b@example.com", "c@example.com", "d@example.com",
                           "e@example.com"};

const QString kConfirmText = QStringLiteral(
    "This address is not a valid Email address!\nAre you sure to add it into the list?");
const QString kInvalidNotice = QStringLiteral("This address is not a valid Email address!");
const QString kSelectOne = QStringLiteral("You must select exactly only one Email address!");
const QString kGroupStart =
    QStringLiteral("Select initial address to \nbegin the address group copy!");
const QString kExhausted =
    QStringLiteral("The last portion of addresses was copied.\nThe address list is exhausted!");

QString CountLine(int count) { return QStringLiteral("Number of addresses: %1").arg(count); }

// Forty fillers around the addresses of a test, so that any item can be
// scrolled to the top of the pane.
QStringList WithFillers(QStringList addresses) {
  for (int i = 0; i < 20; ++i) {
    addresses << QStringLiteral("a%1@filler.com").arg(i, 2, 10, QLatin1Char('0'))
              << QStringLiteral("z%1@filler.com").arg(i, 2, 10, QLatin1Char('0'));
  }
  return addresses;
}

QLineEdit* FieldOf(QDialog* dialog) { return dialog->findChild<QLineEdit*>("field"); }
QPushButton* OkOf(QDialog* dialog) { return dialog->findChild<QPushButton*>("ok"); }
QPushButton* CancelOf(QDialog* dialog) { return dialog->findChild<QPushButton*>("cancel"); }

// Enter pressed where the focus is, as the keyboard delivers it.
void PressEnter(QDialog* dialog) { QTest::keyClick(dialog->focusWidget(), Qt::Key_Return); }

// Replaces the field's text as typing it would, then presses OK. A tab key
// would move the focus, so tabs are inserted as a paste would.
void TypeAndOk(QDialog* dialog, const QString& text) {
  QLineEdit* field = FieldOf(dialog);
  field->selectAll();
  QTest::keyClick(field, Qt::Key_Delete);
  const QStringList pieces = text.split(QLatin1Char('\t'));
  for (qsizetype i = 0; i < pieces.size(); ++i) {
    if (i > 0) field->insert(QStringLiteral("\t"));
    QTest::keyClicks(field, pieces[i]);
  }
  QTest::mouseClick(OkOf(dialog), Qt::LeftButton);
}

// Acts on the next modal dialog once it is shown. The action is expected to
// close it; a dialog it leaves open is rejected and reported, so a failing
// test cannot hang.
class DialogDriver : public QObject {
 public:
  using Act = std::function<void(QDialog*)>;

  DialogDriver() {
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &DialogDriver::Poll);
  }

  void Next(Act act) {
    m_act = std::move(act);
    m_timer.start();
  }
  // Whether a dialog was met since the last call, and which.
  QString TakeSeen() { return std::exchange(m_seen, QString()); }
  bool LeftOpen() { return std::exchange(m_leftOpen, false); }
  void Stop() {
    m_timer.stop();
    m_act = nullptr;
  }

 private:
  void Poll() {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible()) return;
    m_timer.stop();
    m_seen = dialog->objectName();
    Act act = std::exchange(m_act, nullptr);
    if (act) act(dialog);
    if (dialog->isVisible()) {
      m_leftOpen = true;
      dialog->reject();
    }
  }

  QTimer m_timer;
  Act m_act;
  QString m_seen;
  bool m_leftOpen = false;
};

}  // namespace

class AddressCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    UseScriptedUi();
    QApplication::clipboard()->clear();
    m_document = std::make_unique<CZofrinDoc>();
    m_frame = std::make_unique<CMainFrame>(m_document.get());
    m_view = m_frame->View();
    m_frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
  }

  void cleanup() {
    m_driver.Stop();
    QVERIFY2(!m_driver.LeftOpen(), "a dialog was left open");
    m_frame.reset();
    m_document.reset();
    // Every box a test expects, it takes; any other one is a fault.
    const auto shown = MessageBoxes::TakeShown();
    QVERIFY2(shown.empty(), shown.empty() ? "" : qPrintable(shown.front().text));
  }

  // --- the dialogs --------------------------------------------------------

  void dialogLayout_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QSize>("size");        // dialog units
    QTest::addColumn<QList<int>>("places");  // OK, Cancel, field: x, y, width, height
    QTest::addColumn<QString>("label");
    QTest::addColumn<QRect>("labelPlace");
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("centred");
    QTest::newRow("Add") << int(kAdd) << "Add new Email adress" << QSize(169, 60)
                         << QList<int>{26, 36, 50, 14, 95, 36, 50, 14, 25, 13, 120, 14} << ""
                         << QRect() << "" << true;
    QTest::newRow("Modify") << int(kModify) << "Modify Email address" << QSize(169, 63)
                            << QList<int>{26, 36, 50, 14, 95, 36, 50, 14, 25, 13, 120, 14} << ""
                            << QRect() << "b@example.com" << true;
    QTest::newRow("Find") << int(kFind) << "Find Email address" << QSize(172, 57)
                          << QList<int>{27, 36, 50, 14, 94, 36, 50, 14, 25, 15, 120, 14}
                          << "Enter Email address:" << QRect(26, 3, 63, 8) << "" << false;
    QTest::newRow("Size of group")
        << int(kGroupSize) << "Size of address group" << QSize(172, 76)
        << QList<int>{26, 49, 50, 14, 95, 49, 50, 14, 106, 17, 39, 14}
        << "Set the maximum size of address group to copy into the Clipboard (from 1 to 32767)"
        << QRect(9, 7, 90, 37) << "50" << false;
  }

  // Each dialog as its menu command opens it: caption, size and places in
  // dialog units, OK first in the tab order and focused, so that Enter at
  // once confirms the field as it stands.
  void dialogLayout() {
    QFETCH(int, command);
    QFETCH(QString, caption);
    QFETCH(QSize, size);
    QFETCH(QList<int>, places);
    QFETCH(QString, label);
    QFETCH(QRect, labelPlace);
    QFETCH(QString, field);
    QFETCH(bool, centred);
    Show(kFive, {1});
    m_driver.Next([&](QDialog* dialog) {
      const DialogUnits units(dialog->font());
      QCOMPARE(dialog->windowTitle(), caption);
      QCOMPARE(dialog->size(), units.Size(size.width(), size.height()));
      QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
      QCOMPARE(dialog->parentWidget(), m_frame.get());
      QWidget* controls[] = {OkOf(dialog), CancelOf(dialog), FieldOf(dialog)};
      for (int i = 0; i < 3; ++i) {
        QCOMPARE(controls[i]->geometry(), units.Rect(places[4 * i], places[4 * i + 1],
                                                     places[4 * i + 2], places[4 * i + 3]));
      }
      QCOMPARE(OkOf(dialog)->text(), QStringLiteral("OK"));
      QCOMPARE(CancelOf(dialog)->text(), QStringLiteral("Cancel"));
      QVERIFY(OkOf(dialog)->isDefault());
      QCOMPARE(FieldOf(dialog)->text(), field);
      const QList<QLabel*> labels = dialog->findChildren<QLabel*>();
      QCOMPARE(labels.size(), label.isEmpty() ? 0 : 1);
      if (!label.isEmpty()) {
        QCOMPARE(labels[0]->text(), label);
        // At its place, and large enough to show the whole text in this
        // font, wrapped or not.
        QCOMPARE(labels[0]->pos(), units.Rect(labelPlace.x(), labelPlace.y(), 0, 0).topLeft());
        const QRect needed = labels[0]->fontMetrics().boundingRect(
            QRect(QPoint(0, 0), labels[0]->size()),
            labels[0]->wordWrap() ? int(Qt::TextWordWrap) : 0, label);
        QVERIFY2(needed.width() <= labels[0]->width() && needed.height() <= labels[0]->height(),
                 qPrintable(label));
        QVERIFY(dialog->rect().contains(labels[0]->geometry()));
      }
      if (centred) {
        // Centred, give or take the window frame.
        const QPoint offset = dialog->frameGeometry().center() -
                              dialog->screen()->availableGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 8, qPrintable(caption));
      }
      // Tab goes OK, Cancel, the field and back to OK.
      QCOMPARE(dialog->focusWidget(), OkOf(dialog));
      for (QWidget* next : {controls[1], controls[2], controls[0]}) {
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Tab);
        QCOMPARE(dialog->focusWidget(), next);
      }
      PressEnter(dialog);
      QVERIFY(!dialog->isVisible());
      QCOMPARE(dialog->result(), int(QDialog::Accepted));
    });
    m_frame->Dispatch(Id(command));
    QVERIFY(!m_driver.TakeSeen().isEmpty());
    // Enter at once: Add and Find take the empty field and do nothing,
    // Modify stores the unchanged address again, the size stays 50.
    QCOMPARE(Texts(m_view->m_listMain), kFive);
    QCOMPARE(m_document->IsModified(), command == kModify);
    QCOMPARE(m_view->m_nGroupSize, 50);
  }

  // Add and Modify take at most 255 characters, typed or pasted; Find has
  // no limit.
  void fieldLimits() {
    Show({}, {});
    m_driver.Next([](QDialog* dialog) {
      QLineEdit* field = FieldOf(dialog);
      QTest::keyClicks(field, QString(256, QLatin1Char('x')));
      QCOMPARE(field->text().size(), 255);
      field->clear();
      QTest::keyClicks(field, QString(250, QLatin1Char('x')));
      QApplication::clipboard()->setText(QString(10, QLatin1Char('y')));
      field->paste();
      QVERIFY2(field->text().size() <= 255, qPrintable(QString::number(field->text().size())));
      QVERIFY(field->text().startsWith(QString(250, QLatin1Char('x'))));
      field->clear();
      QApplication::clipboard()->setText(QString(300, QLatin1Char('y')));
      field->paste();
      QVERIFY2(field->text().size() <= 255, qPrintable(QString::number(field->text().size())));
      dialog->reject();
    });
    m_frame->Dispatch(kAdd);
    QCOMPARE(m_driver.TakeSeen(), QStringLiteral("addAddressDialog"));

    Show(kFive, {});
    m_driver.Next([](QDialog* dialog) {
      QTest::keyClicks(FieldOf(dialog), QString(300, QLatin1Char('x')));
      QCOMPARE(FieldOf(dialog)->text().size(), 300);
      dialog->reject();
    });
    m_frame->Dispatch(kFind);
    QCOMPARE(m_driver.TakeSeen(), QStringLiteral("findAddressDialog"));
    QVERIFY(!m_document->IsModified());
  }

  // --- Add -----------------------------------------------------------------

  void add_data() {
    QTest::addColumn<QStringList>("initial");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("answer");  // to the confirmation; NoButton: none asked
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QString>("top");  // the item scrolled to the top, if any
    const QStringList ann = WithFillers({"ann@example.com", "bob@example.com"});
    QTest::newRow("cancel") << ann << QList<int>{} << "eve@example.com" << false
                            << int(QMessageBox::NoButton) << QStringList{} << "";
    QTest::newRow("empty field") << ann << QList<int>{} << "" << true
                                 << int(QMessageBox::NoButton) << QStringList{} << "";
    QTest::newRow("into an empty list") << QStringList{} << QList<int>{} << "ann@example.com"
                                        << true << int(QMessageBox::NoButton)
                                        << QStringList{"ann@example.com"} << "";
    QTest::newRow("new between others")
        << ann << QList<int>{0, 41} << "amy@example.com" << true << int(QMessageBox::NoButton)
        << QStringList{"amy@example.com"} << "";
    QTest::newRow("present and selected")
        << ann << QList<int>{0, 20, 21} << "ann@example.com" << true
        << int(QMessageBox::NoButton) << QStringList{"ann@example.com"} << "ann@example.com";
    QTest::newRow("present, not selected")
        << ann << QList<int>{21} << "ann@example.com" << true << int(QMessageBox::NoButton)
        << QStringList{"ann@example.com"} << "ann@example.com";
    QTest::newRow("letter-case twin") << ann << QList<int>{20} << "Ann@example.com" << true
                                      << int(QMessageBox::NoButton)
                                      << QStringList{"Ann@example.com"} << "";
    QTest::newRow("invalid, Yes by default")
        << ann << QList<int>{} << " ann @example.com " << true << int(QMessageBox::NoButton)
        << QStringList{" ann @example.com "} << "";
    QTest::newRow("invalid, No") << ann << QList<int>{} << "ann@example" << true
                                 << int(QMessageBox::No) << QStringList{} << "";
    QTest::newRow("invalid, Yes") << ann << QList<int>{} << "x" << true << int(QMessageBox::Yes)
                                  << QStringList{"x"} << "";
  }

  // A new address comes in unselected at its place; one that is there
  // already is taken out and put back, unselected and scrolled to the top.
  // Either way the document is marked modified. Other items keep their
  // selection.
  void add() {
    QFETCH(QStringList, initial);
    QFETCH(QList<int>, selected);
    QFETCH(QString, typed);
    QFETCH(bool, ok);
    QFETCH(int, answer);
    QFETCH(QStringList, added);
    QFETCH(QString, top);
    Show(initial, selected);
    const QStringList before = Texts(m_view->m_listMain);
    QStringList selectedTexts;
    for (int index : selected) selectedTexts << before[index];
    const bool asks = ok && !typed.isEmpty() && !IsValidAddress(typed.toStdString());
    if (answer != QMessageBox::NoButton) {
      MessageBoxes::QueueAnswer(QMessageBox::StandardButton(answer));
    }
    m_driver.Next([&](QDialog* dialog) {
      QCOMPARE(FieldOf(dialog)->text(), QString());
      if (ok) {
        TypeAndOk(dialog, typed);
      } else {
        QTest::keyClicks(FieldOf(dialog), typed);
        QTest::mouseClick(CancelOf(dialog), Qt::LeftButton);
      }
    });
    ContextItem(kAdd)->trigger();
    QCOMPARE(m_driver.TakeSeen(), QStringLiteral("addAddressDialog"));

    const auto shown = MessageBoxes::TakeShown();
    QCOMPARE(shown.size(), std::size_t(asks ? 1 : 0));
    if (asks) ExpectBox(shown[0], "Confirmation", kConfirmText, QMessageBox::Question,
                        QMessageBox::Yes | QMessageBox::No);
    QStringList expected = before;
    for (const QString& address : added) {
      if (!expected.contains(address)) expected << address;
    }
    SortDisplay(expected);
    QCOMPARE(Texts(m_view->m_listMain), expected);
    QCOMPARE(SortedKeys(m_document->m_setAddresses), expected);
    QCOMPARE(m_view->CountText(), CountLine(int(expected.size())));
    QCOMPARE(m_document->IsModified(), !added.isEmpty());
    // The selection stays on the items that stayed, but not on the one added.
    QStringList selectedAfter;
    for (int index : SelectedIndexes(m_view->m_listMain)) {
      selectedAfter << Texts(m_view->m_listMain)[index];
    }
    for (const QString& address : added) selectedTexts.removeAll(address);
    QCOMPARE(selectedAfter, selectedTexts);
    if (!top.isEmpty()) {
      QCOMPARE(m_view->m_listMain.TopIndex(), std::size_t(expected.indexOf(top)));
    } else {
      QCOMPARE(m_view->m_listMain.TopIndex(), std::size_t{0});
    }
  }

  // --- Modify ----------------------------------------------------------------

  void modifySelectionNotice_data() {
    QTest::addColumn<QList<int>>("selected");
    QTest::newRow("none selected") << QList<int>{};
    QTest::newRow("two selected") << QList<int>{1, 3};
  }

  void modifySelectionNotice() {
    QFETCH(QList<int>, selected);
    Show(kFive, selected);
    m_driver.Next(nullptr);
    m_frame->Dispatch(kModify);
    m_driver.Stop();
    QCOMPARE(m_driver.TakeSeen(), QString());
    const auto shown = MessageBoxes::TakeShown();
    QCOMPARE(shown.size(), std::size_t{1});
    ExpectBox(shown[0], "Information", kSelectOne, QMessageBox::Information, QMessageBox::Ok);
    QCOMPARE(Texts(m_view->m_listMain), kFive);
    QCOMPARE(SelectedIndexes(m_view->m_listMain), selected);
    QVERIFY(!m_document->IsModified());
  }

  void modify_data() {
    QTest::addColumn<QString>("typed");  // "<cancel>", "<enter>" or a text
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("after");  // empty: unchanged
    QTest::addColumn<QString>("top");
    // ann (selected) among others; bob is another entry.
    QTest::newRow("into a new address")
        << "eve@example.com" << int(QMessageBox::NoButton)
        << QStringList{"eve@example.com", "bob@example.com"} << "";
    QTest::newRow("into another entry")
        << "bob@example.com" << int(QMessageBox::NoButton) << QStringList{"bob@example.com"}
        << "bob@example.com";
    QTest::newRow("into its letter-case twin")
        << "Ann@example.com" << int(QMessageBox::NoButton)
        << QStringList{"Ann@example.com", "bob@example.com"} << "";
    QTest::newRow("unchanged, Enter at once")
        << "<enter>" << int(QMessageBox::NoButton)
        << QStringList{"ann@example.com", "bob@example.com"} << "";
    QTest::newRow("cancel") << "<cancel>" << int(QMessageBox::NoButton) << QStringList{} << "";
    QTest::newRow("into an empty text") << "" << int(QMessageBox::NoButton) << QStringList{}
                                        << "";
    QTest::newRow("invalid, No") << "ann at example.com" << int(QMessageBox::No)
                                 << QStringList{} << "";
    QTest::newRow("invalid, Yes")
        << "ann at example.com" << int(QMessageBox::Yes)
        << QStringList{"ann at example.com", "bob@example.com"} << "";
  }

  // The one selected entry is replaced; afterwards nothing is selected.
  void modify() {
    QFETCH(QString, typed);
    QFETCH(int, answer);
    QFETCH(QStringList, after);
    QFETCH(QString, top);
    const QStringList fillers = WithFillers({});
    Show(WithFillers({"ann@example.com", "bob@example.com"}), {});
    const std::size_t ann = m_view->FindAddress("ann@example.com");
    m_view->m_listMain.ScrollTo(0);
    m_view->m_listMain.SetSel(true, ann);
    m_frame->UpdateCommandUI();
    const QStringList before = Texts(m_view->m_listMain);
    const bool asks = answer != QMessageBox::NoButton;
    if (asks) MessageBoxes::QueueAnswer(QMessageBox::StandardButton(answer));
    m_driver.Next([&](QDialog* dialog) {
      QCOMPARE(FieldOf(dialog)->text(), QStringLiteral("ann@example.com"));
      if (typed == "<cancel>") {
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Escape);
      } else if (typed == "<enter>") {
        PressEnter(dialog);
      } else {
        TypeAndOk(dialog, typed);
      }
    });
    ContextItem(kModify)->trigger();
    QCOMPARE(m_driver.TakeSeen(), QStringLiteral("modifyAddressDialog"));

    const auto shown = MessageBoxes::TakeShown();
    QCOMPARE(shown.size(), std::size_t(asks ? 1 : 0));
    if (asks) ExpectBox(shown[0], "Confirmation", kConfirmText, QMessageBox::Question,
                        QMessageBox::Yes | QMessageBox::No);
    if (after.isEmpty()) {
      QCOMPARE(Texts(m_view->m_listMain), before);
      QCOMPARE(SelectedIndexes(m_view->m_listMain), QList<int>{int(ann)});
      QVERIFY(!m_document->IsModified());
      return;
    }
    QStringList expected = fillers + after;
    SortDisplay(expected);
    QCOMPARE(Texts(m_view->m_listMain), expected);
    QCOMPARE(SortedKeys(m_document->m_setAddresses), expected);
    QCOMPARE(m_view->CountText(), CountLine(int(expected.size())));
    QCOMPARE(SelectedIndexes(m_view->m_listMain), QList<int>{});
    QVERIFY(m_document->IsModified());
    QCOMPARE(m_view->m_listMain.TopIndex(),
             std::size_t(top.isEmpty() ? 0 : expected.indexOf(top)));
  }

  // An entry longer than the field's limit (it came from a file): OK says
  // so once and keeps the dialog open with the text selected for
  // correction; the text can shrink but not grow.
  void modifyTooLong() {
    const QString longAddress = QString(290, QLatin1Char('a')) + "@example.com";
    Show({longAddress, "bob@example.com"}, {0});
    m_driver.Next([&](QDialog* dialog) {
      QLineEdit* field = FieldOf(dialog);
      QCOMPARE(field->text(), longAddress);
      PressEnter(dialog);
      QVERIFY(dialog->isVisible());
      const auto shown = MessageBoxes::TakeShown();
      QCOMPARE(shown.size(), std::size_t{1});
      ExpectBox(shown[0], "Zofrin", "Please enter no more than 255 characters.",
                QMessageBox::Warning, QMessageBox::Ok);
      QCOMPARE(dialog->focusWidget(), field);
      QCOMPARE(field->selectedText(), longAddress);
      field->end(false);
      QTest::keyClick(field, Qt::Key_X);
      QCOMPARE(field->text(), longAddress);
      QTest::keyClick(field, Qt::Key_Backspace);
      QCOMPARE(field->text(), longAddress.chopped(1));
      QTest::mouseClick(CancelOf(dialog), Qt::LeftButton);
    });
    m_frame->Dispatch(kModify);
    QCOMPARE(m_driver.TakeSeen(), QStringLiteral("modifyAddressDialog"));
    QCOMPARE(Texts(m_view->m_listMain), QStringList({longAddress, "bob@example.com"}));
    QCOMPARE(SelectedIndexes(m_view->m_listMain), QList<int>{0});
    QVERIFY(!m_document->IsModified());
  }

  // --- Find ----------------------------------------------------------------

  void find_data() {
    QTest::addColumn<QString>("typed");  // "<cancel>", "<enter>" or a text
    QTest::addColumn<bool>("found");
    QTest::addColumn<bool>("notice");
    QTest::newRow("present") << "ann@example.com" << true << false;
    QTest::newRow("letter-case twin of an entry") << "ANN@example.com" << false << false;
    QTest::newRow("absent") << "eve@example.com" << false << false;
    QTest::newRow("invalid") << "ann@example" << false << true;
    QTest::newRow("Enter at once") << "<enter>" << false << false;
    QTest::newRow("cancel") << "<cancel>" << false << false;
  }

  // Find selects and scrolls to the entry equal to the text byte for byte;
  // the selection grows, the document never changes.
  void find() {
    QFETCH(QString, typed);
    QFETCH(bool, found);
    QFETCH(bool, notice);
    Show(WithFillers({"ann@example.com", "bob@example.com"}), {0, 41});
    const QStringList before = Texts(m_view->m_listMain);
    const int ann = int(before.indexOf("ann@example.com"));
    for (const bool modified : {false, true}) {
      m_document->SetModifiedFlag(modified);
      m_view->m_listMain.ScrollTo(0);
      m_driver.Next([&](QDialog* dialog) {
        QCOMPARE(FieldOf(dialog)->text(), QString());
        if (typed == "<cancel>") {
          QTest::mouseClick(CancelOf(dialog), Qt::LeftButton);
        } else if (typed == "<enter>") {
          PressEnter(dialog);
        } else {
          TypeAndOk(dialog, typed);
        }
      });
      m_frame->Dispatch(kFind);
      QCOMPARE(m_driver.TakeSeen(), QStringLiteral("findAddressDialog"));
      const auto shown = MessageBoxes::TakeShown();
      QCOMPARE(shown.size(), std::size_t(notice ? 1 : 0));
      if (notice) ExpectBox(shown[0], "Confirmation", kInvalidNotice, QMessageBox::Question,
                            QMessageBox::Ok);
      QCOMPARE(Texts(m_view->m_listMain), before);
      QCOMPARE(SelectedIndexes(m_view->m_listMain),
               found ? QList<int>({0, ann, 41}) : QList<int>({0, 41}));
      QCOMPARE(m_view->m_listMain.TopIndex(), std::size_t(found ? ann : 0));
      QCOMPARE(m_document->IsModified(), modified);
      QCOMPARE(m_frame->Action(kCopySelected)->isEnabled(), true);
    }
  }

  // --- Size of address group ---------------------------------------------------

  void groupSize_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");  // empty: accepted
    QTest::addColumn<int>("size");
    const QString integer = "Please enter an integer.";
    const QString range = "Please enter an integer between 1 and 32767.";
    QTest::newRow("7 with blanks") << " \t7\t " << "" << 7;
    QTest::newRow("1") << "1" << "" << 1;
    QTest::newRow("32767") << "32767" << "" << 32767;
    QTest::newRow("leading zero and plus") << "+012" << "" << 12;
    QTest::newRow("7a") << "7a" << integer << 9;
    QTest::newRow("empty") << "" << integer << 9;
    QTest::newRow("+0") << "+0" << integer << 9;
    QTest::newRow("-0") << "-0" << integer << 9;
    QTest::newRow("0") << "0" << range << 9;
    QTest::newRow("00") << "00" << range << 9;
    QTest::newRow("-3") << "-3" << range << 9;
    QTest::newRow("32768") << "32768" << range << 9;
    QTest::newRow("40000") << "40000" << range << 9;
    QTest::newRow("beyond 32 bits") << "99999999999999999999" << range << 9;
  }

  // The field is checked once per OK; a rejected text leaves the dialog open
  // with the field's text selected, and Cancel then keeps the old size.
  void groupSize() {
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(int, size);
    Show(kFive, {});
    m_view->m_nGroupSize = 9;
    m_driver.Next([&](QDialog* dialog) {
      QLineEdit* field = FieldOf(dialog);
      QCOMPARE(field->text(), QStringLiteral("9"));
      TypeAndOk(dialog, typed);
      const auto shown = MessageBoxes::TakeShown();
      if (message.isEmpty()) {
        QVERIFY(shown.empty());
        QVERIFY(!dialog->isVisible());
        return;
      }
      QVERIFY(dialog->isVisible());
      QCOMPARE(shown.size(), std::size_t{1});
      ExpectBox(shown[0], "Zofrin", message, QMessageBox::Warning, QMessageBox::Ok);
      QCOMPARE(dialog->focusWidget(), field);
      QCOMPARE(field->selectedText(), typed);
      QCOMPARE(m_view->m_nGroupSize, 9);
      QTest::mouseClick(CancelOf(dialog), Qt::LeftButton);
    });
    m_frame->Dispatch(kGroupSize);
    QCOMPARE(m_driver.TakeSeen(), QStringLiteral("groupSizeDialog"));
    QCOMPARE(m_view->m_nGroupSize, size);
    QVERIFY(!m_document->IsModified());
  }

  // A rejected text can be corrected in the same dialog; the size chosen
  // lasts until the next New or Open.
  void groupSizeLastsUntilNewOrOpen() {
    Show(kFive, {});
    m_driver.Next([](QDialog* dialog) {
      TypeAndOk(dialog, "x");
      QCOMPARE(MessageBoxes::TakeShown().size(), std::size_t{1});
      TypeAndOk(dialog, "2");
    });
    m_frame->Dispatch(kGroupSize);
    QCOMPARE(m_view->m_nGroupSize, 2);
    m_frame->Dispatch(kFileNew);
    QCOMPARE(m_view->m_nGroupSize, 50);

    QTemporaryDir dir;
    const QString path = dir.filePath("five.lse");
    WriteBytes(path, ListBytes(kFive));
    m_view->m_nGroupSize = 2;
    QVERIFY(m_frame->Controller()->OpenDocumentFile(path, false));
    QCOMPARE(m_view->m_nGroupSize, 50);
    QCOMPARE(Texts(m_view->m_listMain), kFive);
  }

  // --- copying -------------------------------------------------------------------

  void copySelected_data() {
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<bool>("commas");
    QTest::addColumn<QString>("text");
    QTest::newRow("one, with commas") << QList<int>{0} << true << "a@example.com,\r\n";
    QTest::newRow("one, lines") << QList<int>{4} << false << "e@example.com\r\n";
    QTest::newRow("three, lines") << QList<int>{0, 2, 4} << false
                                  << "a@example.com\r\nc@example.com\r\ne@example.com\r\n";
    QTest::newRow("three, with commas")
        << QList<int>{1, 2, 3} << true << "b@example.com,\r\nc@example.com,\r\nd@example.com,\r\n";
  }

  // The selected items in list order, each ended by its terminator, the
  // last one too; the selection and the document stay as they were.
  void copySelected() {
    QFETCH(QList<int>, selected);
    QFETCH(bool, commas);
    QFETCH(QString, text);
    Show(kFive, selected);
    m_frame->Dispatch(commas ? kCopySelectedCommas : kCopySelected);
    QCOMPARE(QApplication::clipboard()->text(), text);
    QCOMPARE(SelectedIndexes(m_view->m_listMain), selected);
    QVERIFY(!m_document->IsModified());
  }

  // Program text is Windows-1252: 0xE9 is é and 0x80 the euro sign, here in
  // a list read from a file.
  void copyConvertsFromTheCodePage() {
    AddressSet set;
    set.Store("caf\xe9@example.com");
    set.Store("\x80uro@example.com");
    QTemporaryDir dir;
    const QString path = dir.filePath("eight-bit.lse");
    WriteBytes(path, SetBytes(set));
    QVERIFY(m_frame->Controller()->OpenDocumentFile(path, false));
    m_frame->Dispatch(kSelectAll);
    m_frame->Dispatch(kCopySelected);
    QCOMPARE(QApplication::clipboard()->text(),
             QStringLiteral("caf\u00e9@example.com\r\n\u20acuro@example.com\r\n"));
    m_frame->Dispatch(kUnselectAll);
    m_view->m_listMain.SetSel(true, 1);
    m_frame->Dispatch(kCopyGroupCommas);
    MessageBoxes::TakeShown();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("\u20acuro@example.com,\r\n"));
  }

  void copyGroupWalk_data() {
    QTest::addColumn<bool>("commas");
    QTest::newRow("lines") << false;
    QTest::newRow("with commas") << true;
  }

  // a to e, size 2, b selected: b and c, then d and e with the exhausted
  // message, then the start message. The selection marks the next group.
  void copyGroupWalk() {
    QFETCH(bool, commas);
    const QString end = commas ? ",\r\n" : "\r\n";
    const Id command = commas ? kCopyGroupCommas : kCopyGroup;
    Show(kFive, {1});
    m_view->m_nGroupSize = 2;
    m_frame->Dispatch(command);
    QCOMPARE(QApplication::clipboard()->text(), "b@example.com" + end + "c@example.com" + end);
    QCOMPARE(SelectedIndexes(m_view->m_listMain), QList<int>{3});
    QVERIFY(MessageBoxes::TakeShown().empty());

    m_frame->Dispatch(command);
    QCOMPARE(QApplication::clipboard()->text(), "d@example.com" + end + "e@example.com" + end);
    QCOMPARE(SelectedIndexes(m_view->m_listMain), QList<int>{});
    auto shown = MessageBoxes::TakeShown();
    QCOMPARE(shown.size(), std::size_t{1});
    ExpectBox(shown[0], "Information", kExhausted, QMessageBox::Information, QMessageBox::Ok);
    // Nothing selected: the copy commands of the selection are off, the
    // group commands stay on.
    QVERIFY(!m_frame->Action(kCopySelected)->isEnabled());
    QVERIFY(m_frame->Action(command)->isEnabled());

    QApplication::clipboard()->setText("kept");
    m_frame->Dispatch(command);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("kept"));
    shown = MessageBoxes::TakeShown();
    QCOMPARE(shown.size(), std::size_t{1});
    ExpectBox(shown[0], "Information", kGroupStart, QMessageBox::Information, QMessageBox::Ok);
    QVERIFY(!m_document->IsModified());
  }

  void copyGroupCases_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("size");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QList<int>>("copied");
    QTest::addColumn<QList<int>>("after");  // empty: exhausted
    QTest::newRow("four, size 2, third selected")
        << 4 << 2 << QList<int>{2} << QList<int>{2, 3} << QList<int>{};
    QTest::newRow("b and d selected, size 1")
        << 5 << 1 << QList<int>{1, 3} << QList<int>{1} << QList<int>{2};
    QTest::newRow("group ends one before the last")
        << 5 << 2 << QList<int>{2} << QList<int>{2, 3} << QList<int>{4};
    QTest::newRow("larger than the list") << 5 << 32767 << QList<int>{0}
                                          << QList<int>{0, 1, 2, 3, 4} << QList<int>{};
    QTest::newRow("last item alone") << 5 << 50 << QList<int>{4} << QList<int>{4}
                                     << QList<int>{};
  }

  void copyGroupCases() {
    QFETCH(int, count);
    QFETCH(int, size);
    QFETCH(QList<int>, selected);
    QFETCH(QList<int>, copied);
    QFETCH(QList<int>, after);
    Show(kFive.mid(0, count), selected);
    m_view->m_nGroupSize = size;
    m_frame->Dispatch(kCopyGroup);
    QString text;
    for (int index : copied) text += kFive[index] + "\r\n";
    QCOMPARE(QApplication::clipboard()->text(), text);
    QCOMPARE(SelectedIndexes(m_view->m_listMain), after);
    const auto shown = MessageBoxes::TakeShown();
    QCOMPARE(shown.size(), std::size_t(after.isEmpty() ? 1 : 0));
    if (after.isEmpty()) QCOMPARE(shown[0].text, kExhausted);
  }

  // On a list longer than the pane, each next group's first item comes to
  // the top; after the last group the list shows its end.
  void copyGroupScrolls() {
    QStringList many;
    for (int i = 0; i < 60; ++i) {
      many << QStringLiteral("m%1@example.com").arg(i, 2, 10, QLatin1Char('0'));
    }
    Show(many, {0});
    m_view->m_nGroupSize = 25;
    const std::size_t lastTop = many.size() - m_view->ListPane()->viewport()->height() /
                                                  m_view->ListPane()->RowHeight();
    QVERIFY(lastTop > 25);
    m_frame->Dispatch(kCopyGroup);
    QCOMPARE(QApplication::clipboard()->text(), many.mid(0, 25).join("\r\n") + "\r\n");
    QCOMPARE(m_view->m_listMain.TopIndex(), std::size_t{25});
    m_frame->Dispatch(kCopyGroup);
    QCOMPARE(m_view->m_listMain.TopIndex(), std::min<std::size_t>(50, lastTop));
    m_frame->Dispatch(kCopyGroup);
    QCOMPARE(QApplication::clipboard()->text(), many.mid(50).join("\r\n") + "\r\n");
    QCOMPARE(m_view->m_listMain.TopIndex(), lastTop);
    QCOMPARE(MessageBoxes::TakeShown().size(), std::size_t{1});
  }

  // --- Extract from Clipboard ---------------------------------------------------

  void extract_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QList<int>>("selectedAfter");  // of the list afterwards
    // The list holds ann (selected), bob and dan (selected).
    QTest::newRow("sentence-ending dot")
        << "Write to user@example.com. Thanks" << QStringList{"user@example.com."}
        << QList<int>{0, 2};
    QTest::newRow("same address three times")
        << "eve@example.com, eve@example.com; <eve@example.com>" << QStringList{"eve@example.com"}
        << QList<int>{0, 2};
    QTest::newRow("address the list holds") << "mail ann@example.com please"
                                            << QStringList{"ann@example.com"} << QList<int>{2};
    QTest::newRow("letter-case twins")
        << "user@example.com USER@example.com"
        << QStringList{"USER@example.com", "user@example.com"}
        << QList<int>{0, 2};
    QTest::newRow("several lines")
        << "eve@example.com\r\nfay@example.org\nguy@example.net\r\n"
        << QStringList{"eve@example.com", "fay@example.org", "guy@example.net"}
        << QList<int>{0, 2};
    QTest::newRow("no @") << "no addresses here." << QStringList{} << QList<int>{0, 2};
    QTest::newRow("@ without an address") << "a @ b, x@y" << QStringList{} << QList<int>{0, 2};
    // Characters outside the code page become '?', which ends an address;
    // those inside it are 8-bit and end it too.
    QTest::newRow("characters outside the code page")
        << QStringLiteral("zed\u4e2dkim@example.com ivy\U0001F600joe@example.com")
        << QStringList{"kim@example.com", "joe@example.com"} << QList<int>{0, 2};
    QTest::newRow("8-bit characters") << QStringLiteral("caf\u00e9max@example.com\u20acuro")
                                      << QStringList{"max@example.com"} << QList<int>{0, 2};
    QTest::newRow("cut at a zero character")
        << QStringLiteral("eve@example.com") + QChar(0) + "fay@example.org"
        << QStringList{"eve@example.com"} << QList<int>{0, 2};
  }

  // Every address found goes straight into the list and the set, each once;
  // one already there is put back unselected. Finding any address marks the
  // document modified; finding none leaves everything as it was.
  void extract() {
    QFETCH(QString, text);
    QFETCH(QStringList, added);
    QFETCH(QList<int>, selectedAfter);
    const QStringList initial = {"ann@example.com", "bob@example.com", "dan@example.com"};
    for (const bool modified : {false, true}) {
      Show(initial, {0, 2});
      m_document->SetModifiedFlag(modified);
      QApplication::clipboard()->setText(text);
      QVERIFY(m_frame->Action(kExtractFromClipboard)->isEnabled());
      ContextItem(kExtractFromClipboard)->trigger();
      QStringList expected = initial;
      for (const QString& address : added) {
        if (!expected.contains(address)) expected << address;
      }
      SortDisplay(expected);
      QCOMPARE(Texts(m_view->m_listMain), expected);
      QCOMPARE(SortedKeys(m_document->m_setAddresses), expected);
      QCOMPARE(m_view->CountText(), CountLine(int(expected.size())));
      QCOMPARE(SelectedIndexes(m_view->m_listMain), selectedAfter);
      QCOMPARE(m_document->IsModified(), modified || !added.isEmpty());
      // The Clipboard is only read.
      QCOMPARE(QApplication::clipboard()->text(), text);
    }
  }

  // Merging many addresses at once gives the list, its selection and the
  // set (in its own order) that the address-by-address rule gives.
  void extractManyAsOneByOne() {
    // Half of the addresses met are in the list already; some are
    // letter-case twins of an entry, many come more than once.
    auto address = [](unsigned i, bool upper) {
      return (upper ? "U" : "u") + std::to_string(i) + "@d" + std::to_string(i % 50) + ".com";
    };
    AddressSet initial;
    for (unsigned i = 0; i < 5000; ++i) initial.Store(address(2 * i, false));
    std::mt19937 random(4);
    std::string clip;
    for (int i = 0; i < 5000; ++i) {
      clip += address(random() % 10000, random() % 6 == 0) + (i % 7 == 0 ? "\r\n" : ", ");
    }
    m_document->m_setAddresses = initial;
    m_view->OnInitialUpdate();
    SortedAddressList& list = m_view->m_listMain;
    for (std::size_t i = 0; i < list.Count(); i += 3) list.SetSel(true, i);

    // The rule, one address at a time.
    SortedAddressList oneByOne;
    AddressSet oneByOneSet = initial;
    RebuildList(oneByOne, oneByOneSet);
    for (std::size_t i = 0; i < oneByOne.Count(); i += 3) oneByOne.SetSel(true, i);
    for (const std::string& found : ExtractAddresses(clip)) {
      if (oneByOneSet.Contains(found)) oneByOne.Delete(oneByOne.FindByteExact(found));
      oneByOne.Insert(found);
      oneByOneSet.Store(found, {});
    }

    QApplication::clipboard()->setText(QString::fromLatin1(clip.data(), qsizetype(clip.size())));
    m_frame->Dispatch(kExtractFromClipboard);
    QCOMPARE(Texts(list), Texts(oneByOne));
    QCOMPARE(SelectedIndexes(list), SelectedIndexes(oneByOne));
    QCOMPARE(SetBytes(m_document->m_setAddresses), SetBytes(oneByOneSet));
    QCOMPARE(m_view->CountText(), CountLine(int(oneByOne.Count())));
    QVERIFY(m_document->IsModified());
  }

  // --- enabling --------------------------------------------------------------------

  void enabling_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QList<int>>("enabled");
    QTest::newRow("empty list") << 0 << QList<int>{} << QList<int>{kAdd, kGroupSize};
    QTest::newRow("none selected")
        << 3 << QList<int>{}
        << QList<int>{kAdd, kGroupSize, kModify, kFind, kCopyGroup, kCopyGroupCommas};
    QTest::newRow("two selected")
        << 3 << QList<int>{0, 2}
        << QList<int>{kAdd, kGroupSize, kModify, kFind, kCopyGroup, kCopyGroupCommas,
                      kCopySelected, kCopySelectedCommas};
  }

  // Each rule holds for the menu item, the toolbar button and the context
  // menu item alike.
  void enabling() {
    QFETCH(int, count);
    QFETCH(QList<int>, selected);
    QFETCH(QList<int>, enabled);
    Show(kFive.mid(0, count), selected);
    for (int id : {kAdd, kModify, kFind, kGroupSize, kCopySelected, kCopySelectedCommas,
                   kCopyGroup, kCopyGroupCommas}) {
      ExpectEnabled(Id(id), enabled.contains(id));
    }
  }

  // Extraction is on exactly while the Clipboard offers text, and follows
  // the Clipboard without a menu being opened.
  void extractEnabledByClipboardText() {
    Show(kFive, {});
    ExpectEnabled(kExtractFromClipboard, false);
    QApplication::clipboard()->setText("ann@example.com");
    ExpectEnabled(kExtractFromClipboard, true);
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QApplication::clipboard()->setImage(picture);
    ExpectEnabled(kExtractFromClipboard, false);
    // Asked for anyway, it does nothing.
    m_view->OnExtractFromClipboard();
    QCOMPARE(Texts(m_view->m_listMain), kFive);
    QVERIFY(!m_document->IsModified());
    QApplication::clipboard()->clear();
    ExpectEnabled(kExtractFromClipboard, false);
  }

 private:
  void Show(const QStringList& addresses, const QList<int>& selected) {
    m_document->m_setAddresses = MakeSet(addresses);
    m_document->SetModifiedFlag(false);
    m_view->OnInitialUpdate();
    for (int index : selected) m_view->m_listMain.SetSel(true, std::size_t(index));
    m_frame->UpdateCommandUI();
  }

  static void SortDisplay(QStringList& texts) {
    std::sort(texts.begin(), texts.end(), [](const QString& a, const QString& b) {
      return CompareDisplay(a.toStdString(), b.toStdString()) < 0;
    });
  }

  static void ExpectBox(const ShownBox& box, const QString& caption, const QString& text,
                        QMessageBox::Icon icon, QMessageBox::StandardButtons buttons) {
    QCOMPARE(box.caption, caption);
    QCOMPARE(box.text, text);
    QCOMPARE(box.icon, icon);
    QCOMPARE(box.buttons, buttons);
  }

  void ExpectEnabled(Id id, bool expected) {
    const QString what = QString::number(id);
    QVERIFY2(m_frame->Action(id)->isEnabled() == expected, qPrintable(what));
    if (QWidget* button = m_frame->ToolBar()->widgetForAction(m_frame->Action(id))) {
      QVERIFY2(button->isEnabled() == expected, qPrintable(what));
    }
    if (QAction* item = ContextItem(id)) QVERIFY2(item->isEnabled() == expected, qPrintable(what));
  }

  QAction* ContextItem(Id id) const {
    return m_frame->ContextMenu()->findChild<QAction*>(QStringLiteral("context%1").arg(id));
  }

  std::unique_ptr<CZofrinDoc> m_document;
  std::unique_ptr<CMainFrame> m_frame;
  CZofrinView* m_view = nullptr;
  DialogDriver m_driver;
};

ZOFRIN_GUI_TEST_MAIN(AddressCommandsTest)
#include "address_commands_test.moc"
