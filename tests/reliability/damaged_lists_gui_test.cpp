// Every damaged list file opened as the document and loaded into the lists
// dialog. The document shows "Unexpected file format." and carries on with
// a new, empty list; the dialog's Load shows the failure in its error box
// (a file that ends too early named in "An attempt was made to access %1
// past its end.") and leaves the pane as it was. A file whose bytes make a
// valid shorter list opens or loads as that list.
#include <sys/resource.h>

#include <QLabel>
#include <QTest>
#include <memory>

#include "app/main_frame.h"
#include "app/zofrin_doc.h"
#include "app/zofrin_view.h"
#include "damaged_lists.h"
#include "dialogs/lists_dlg.h"
#include "framework/document_controller.h"
#include "gui_test_support.h"
#include "reliability_gui_tests.h"

using namespace zofrin;
using namespace zofrin::test;

namespace {

QString CountLine(std::size_t count) {
  return QStringLiteral("Number of addresses: %1").arg(count);
}

QStringList ExpectedKeys(const DamagedList& file) {
  AddressSet set;
  for (const auto& [key, value] : file.entries) set.Store(key, value);
  return SortedKeys(set);
}

QByteArray Bytes(const std::string& bytes) {
  return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

long PeakRssKib() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

class DamagedListsGuiTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    UseScriptedUi();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
  }

  void cleanup() {
    m_dir.reset();
    const auto shown = MessageBoxes::TakeShown();
    QVERIFY2(shown.empty(), shown.empty() ? "" : qPrintable(shown.front().text));
    const auto requests = FileDialogs::TakeRequests();
    QVERIFY2(requests.empty(), requests.empty() ? "" : qPrintable(requests.front().title));
  }

  void openAsTheDocument() {
    CZofrinDoc document;
    CMainFrame frame(&document);
    frame.show();
    DocumentController* controller = frame.Controller();
    CZofrinView* view = frame.View();
    const QString base = m_dir->filePath(QStringLiteral("base.lse"));
    WriteBytes(base, ListBytes({"keep@example.com", "more@example.org"}));
    const long peakBefore = PeakRssKib();
    int index = 0;
    for (const DamagedList& file : AllDamagedListFiles()) {
      const QByteArray name = QByteArray::fromStdString(file.name);
      // The list the damaged file would replace, changed by the user.
      QVERIFY(controller->OpenDocumentFile(base));
      view->m_listMain.SetSel(true, 0);
      frame.UpdateCommandUI();
      frame.Dispatch(commands::kDelete);
      QVERIFY(document.IsModified());
      MessageBoxes::QueueAnswer(QMessageBox::No);  // do not save it

      const QString path = m_dir->filePath(QStringLiteral("case-%1.lse").arg(index++));
      WriteBytes(path, Bytes(file.bytes));
      const bool opened = controller->OpenDocumentFile(path);
      auto shown = MessageBoxes::TakeShown();
      QVERIFY2(!shown.empty(), name.constData());
      shown.erase(shown.begin());  // the save prompt
      if (file.outcome == Outcome::kReads) {
        QVERIFY2(opened, name.constData());
        QVERIFY2(shown.empty(), name.constData());
        QCOMPARE(document.PathName(), path);
        QCOMPARE(SortedKeys(document.m_setAddresses), ExpectedKeys(file));
      } else {
        QVERIFY2(!opened, name.constData());
        QVERIFY2(shown.size() == 1, name.constData());
        QCOMPARE(shown[0].caption, QStringLiteral("Zofrin"));
        QCOMPARE(shown[0].text, QStringLiteral("Unexpected file format."));
        QCOMPARE(shown[0].icon, QMessageBox::Warning);
        QVERIFY(document.PathName().isEmpty());
        QCOMPARE(frame.windowTitle(), QStringLiteral("Untitled - Zofrin"));
        QCOMPARE(document.m_setAddresses.Count(), std::size_t{0});
      }
      QVERIFY(!document.IsModified());
      QCOMPARE(Texts(view->m_listMain), SortedKeys(document.m_setAddresses));
      QCOMPARE(view->CountText(), CountLine(document.m_setAddresses.Count()));
      QCOMPARE(QFile(path).size(), qint64(file.bytes.size()));
    }
    // Claims of billions of entries set nothing aside.
    QVERIFY2(PeakRssKib() - peakBefore < 64 * 1024,
             qPrintable(QStringLiteral("peak grew by %1 KiB").arg(PeakRssKib() - peakBefore)));
    qInfo("%d damaged files opened as the document", index);
  }

  void loadIntoTheListsDialog() {
    CListsDlg dialog(nullptr);
    const QStringList kept = {"keep@example.com", "Keep@example.com", "more@example.org"};
    const QString keep = m_dir->filePath(QStringLiteral("keep.lse"));
    WriteBytes(keep, ListBytes(kept));
    dialog.LoadInto(1, keep);
    dialog.LoadInto(2, keep);
    const QString path = m_dir->filePath(QStringLiteral("damaged.lse"));
    const long peakBefore = PeakRssKib();
    int loads = 0;
    for (const DamagedList& file : AllDamagedListFiles()) {
      const QByteArray name = QByteArray::fromStdString(file.name);
      for (int pane = 1; pane <= 2; ++pane) {
        ListPane& data = pane == 1 ? dialog.m_pane1 : dialog.m_pane2;
        data.list.SetSel(true, 1);
        const QStringList before = State(dialog, pane);
        WriteBytes(path, Bytes(file.bytes));
        FileDialogs::QueueAnswer({path});
        pane == 1 ? dialog.OnLoadList1() : dialog.OnLoadList2();
        QCOMPARE(FileDialogs::TakeRequests().size(), std::size_t{1});
        ++loads;
        const auto shown = MessageBoxes::TakeShown();
        if (file.outcome == Outcome::kReads) {
          QVERIFY2(shown.empty(), name.constData());
          const QStringList keys = ExpectedKeys(file);
          QCOMPARE(State(dialog, pane), QStringList(keys) << QStringLiteral("| set:") << keys
                                                          << CountLine(keys.size()));
          dialog.LoadInto(pane, keep);
          continue;
        }
        QVERIFY2(shown.size() == 1, name.constData());
        QCOMPARE(shown[0].caption, QStringLiteral("Zofrin"));
        QCOMPARE(shown[0].icon, QMessageBox::Critical);
        QCOMPARE(shown[0].text,
                 file.outcome == Outcome::kEndOfData
                     ? QStringLiteral("An attempt was made to access %1 past its end.").arg(path)
                     : QStringLiteral("Unexpected file format."));
        QCOMPARE(State(dialog, pane), before);
        QCOMPARE(SelectedIndexes(data.list), QList<int>{1});
      }
    }
    QVERIFY2(PeakRssKib() - peakBefore < 64 * 1024,
             qPrintable(QStringLiteral("peak grew by %1 KiB").arg(PeakRssKib() - peakBefore)));
    qInfo("%d damaged files loaded into the lists dialog", loads);
  }

 private:
  // A pane's items, its set's keys and its count line.
  static QStringList State(CListsDlg& dialog, int pane) {
    const ListPane& data = pane == 1 ? dialog.m_pane1 : dialog.m_pane2;
    return QStringList(Texts(data.list))
           << QStringLiteral("| set:") << SortedKeys(data.set)
           << dialog.findChild<QLabel*>(QStringLiteral("count%1").arg(pane))->text();
  }

  std::unique_ptr<QTemporaryDir> m_dir;
};

int zofrin::test::RunDamagedListsGuiTest(int argc, char** argv) {
  DamagedListsGuiTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "damaged_lists_gui_test.moc"
