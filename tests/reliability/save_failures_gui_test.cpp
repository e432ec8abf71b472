// Saving the document when it cannot be done: a real full disk, a full
// disk after any number of bytes, a read-only target, a target that is a
// folder, a folder without write permission, and names and paths too long
// for the system, through Save and Save As. Each failure is reported in
// the framework's box with its message; the old file stays byte for byte,
// no temporary file is left behind, and the document keeps its list, its
// path and its modified flag.
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTest>
#include <memory>

#include "address/file_io.h"
#include "app/main_frame.h"
#include "app/zofrin_doc.h"
#include "app/zofrin_view.h"
#include "framework/document_controller.h"
#include "gui_test_support.h"
#include "reliability_gui_tests.h"
#include "reliability_support.h"

using namespace zofrin;
using namespace zofrin::commands;
using namespace zofrin::test;

namespace {

QStringList Numbered(int count, const QString& domain = QStringLiteral("example.com")) {
  QStringList addresses;
  for (int i = 0; i < count; ++i) addresses << QStringLiteral("user%1@%2").arg(i).arg(domain);
  return addresses;
}

}  // namespace

class SaveFailuresGuiTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    UseScriptedUi();
    m_dir = std::make_unique<TempDir>();
    m_document = std::make_unique<CZofrinDoc>();
    m_frame = std::make_unique<CMainFrame>(m_document.get());
    m_frame->show();
  }

  void cleanup() {
    SetWriteLimitForTesting(-1);
    m_frame.reset();
    m_document.reset();
    m_disk.reset();
    m_dir.reset();
    const auto shown = MessageBoxes::TakeShown();
    QVERIFY2(shown.empty(), shown.empty() ? "" : qPrintable(shown.front().text));
    const auto requests = FileDialogs::TakeRequests();
    QVERIFY2(requests.empty(), requests.empty() ? "" : qPrintable(requests.front().title));
  }

  static void cleanupTestCase() { qInfo("%d failed saves of the document", s_failures); }

  void saveFails_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("saveAs");  // empty: Save over the list's own file
    QTest::addColumn<QString>("message");
    const QString full = QStringLiteral("Disk full while accessing %1.");
    const QString denied = QStringLiteral("Access to %1 was denied.");
    const QString invalid = QStringLiteral("%1 contains an invalid path.");
    QTest::newRow("small disk, Save") << "small disk" << "" << full;
    QTest::newRow("small disk, Save As") << "small disk" << "new.lse" << full;
    QTest::newRow("small disk filled, Save") << "small disk filled" << "" << full;
    for (const char* limit : {"0", "1", "2", "half", "all but one"}) {
      QTest::addRow("full after %s bytes, Save", limit) << QString("limit ") + limit << "" << full;
      QTest::addRow("full after %s bytes, Save As", limit)
          << QString("limit ") + limit << "new.lse" << full;
    }
    QTest::newRow("read-only target") << "read-only" << "" << denied;
    QTest::newRow("target is a folder") << "folder" << "folder.lse" << denied;
    QTest::newRow("folder without write permission, Save") << "locked folder" << "" << denied;
    QTest::newRow("folder without write permission, Save As")
        << "locked folder" << "new.lse" << denied;
    QTest::newRow("name too long") << "" << QString(300, QLatin1Char('n')) + ".lse" << invalid;
    QTest::newRow("path too long") << "" << "deep" << invalid;
  }

  void saveFails() {
    QFETCH(QString, setup);
    QFETCH(QString, saveAs);
    QFETCH(QString, message);
    if (setup == "locked folder" && IsRoot()) QSKIP("root writes into every folder");
    QString folder = QString::fromStdString(m_dir->Path());
    if (setup.startsWith("small disk")) {
      m_disk = std::make_unique<SmallDisk>(m_dir->File("disk"));
      if (!m_disk->Mounted()) QSKIP("mounting a tmpfs needs root; the write limit stands in");
      folder = QString::fromStdString(m_disk->Path());
    }
    const QString path = folder + "/list.lse";
    const QByteArray old = ListBytes(Numbered(4, "old.org"));
    WriteBytes(path, old);
    QVERIFY(m_frame->Controller()->OpenDocumentFile(path));

    // The user's changes: a list far larger than the small disk.
    const QStringList changed = Numbered(setup.startsWith("small disk") ? 5000 : 30);
    m_document->m_setAddresses = MakeSet(changed);
    m_frame->View()->OnInitialUpdate();
    m_document->SetModifiedFlag(true);

    QString target = saveAs.isEmpty() ? path : folder + "/" + saveAs;
    if (saveAs == "deep") {
      while (target.size() < 5000) target += "/" + QString(200, QLatin1Char('d'));
      target += "/list.lse";
    }
    if (setup == "small disk filled") m_disk->Fill();
    if (setup == "read-only") {
      QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    }
    if (setup == "folder") QVERIFY(QDir(folder).mkdir(saveAs));
    if (setup == "locked folder") {
      QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    }
    if (setup.startsWith("limit ")) {
      const qint64 size = SetBytes(m_document->m_setAddresses).size();
      const QString limit = setup.mid(6);
      SetWriteLimitForTesting(limit == "half"          ? size / 2
                              : limit == "all but one" ? size - 1
                                                       : limit.toLongLong());
    }
    const QStringList entries = FolderEntries(folder);
    const QString title = m_frame->windowTitle();

    if (saveAs.isEmpty()) {
      m_frame->Dispatch(kFileSave);
    } else {
      FileDialogs::QueueAnswer({target});
      m_frame->Dispatch(kFileSaveAs);
      QCOMPARE(FileDialogs::TakeRequests().size(), std::size_t{1});
    }
    SetWriteLimitForTesting(-1);
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                      QFileDevice::ExeOwner);
    ++s_failures;

    const auto shown = MessageBoxes::TakeShown();
    QCOMPARE(shown.size(), std::size_t{1});
    QCOMPARE(shown[0].caption, QStringLiteral("Zofrin"));
    QCOMPARE(shown[0].text, QString(message).arg(target));
    QCOMPARE(shown[0].icon, QMessageBox::Warning);
    QCOMPARE(ReadBytes(path), old);
    QCOMPARE(FolderEntries(folder), entries);
    if (setup == "folder") QVERIFY(QFileInfo(target).isDir());
    QVERIFY(m_document->IsModified());
    QCOMPARE(m_document->PathName(), path);
    QCOMPARE(m_frame->windowTitle(), title);
    QCOMPARE(SortedKeys(m_document->m_setAddresses), SortedKeys(MakeSet(changed)));
    QCOMPARE(Texts(m_frame->View()->m_listMain), SortedKeys(m_document->m_setAddresses));

    // Once the way is clear the same list saves whole.
    if (setup.startsWith("small disk") || setup.startsWith("limit") || setup == "read-only") {
      if (m_disk) m_disk.reset();
      if (setup.startsWith("small disk")) return;  // the folder went with the disk
      QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
      m_frame->Dispatch(kFileSave);
      QCOMPARE(ReadBytes(path), SetBytes(m_document->m_setAddresses));
      QVERIFY(!m_document->IsModified());
    }
  }

 private:
  std::unique_ptr<TempDir> m_dir;
  std::unique_ptr<SmallDisk> m_disk;
  std::unique_ptr<CZofrinDoc> m_document;
  std::unique_ptr<CMainFrame> m_frame;
  static inline int s_failures = 0;
};

int zofrin::test::RunSaveFailuresGuiTest(int argc, char** argv) {
  SaveFailuresGuiTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "save_failures_gui_test.moc"
