// The document's life cycle through the program's file commands: New,
// Open, Save, Save As, the save prompt, the recent files, dropped files, and
// what every failure to open or save leaves behind.
#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "address/file_io.h"
#include "app/main_frame.h"
#include "app/zofrin_doc.h"
#include "app/zofrin_view.h"
#include "framework/document_controller.h"
#include "gui_test_support.h"

using namespace zofrin;
using namespace zofrin::commands;
using namespace zofrin::test;

namespace {

const QStringList kFour = {"ann@example.com", "bob@example.com", "carl@example.net",
                           "dora@example.org"};
const QStringList kFilters = {"Email Files (*.lse)", "All Files (*.*)"};

QString CountLine(int count) { return QStringLiteral("Number of addresses: %1").arg(count); }

// What a test knows about the document, to show it unchanged.
struct DocumentState {
  QString path;
  QStringList keys;
  QStringList shown;
  bool modified;
  QString title;
  QString countLine;
  QStringList recent;

  bool operator==(const DocumentState&) const = default;
};

char* toString(const DocumentState& state) {
  return QTest::toString(QStringLiteral("path=%1 keys=%2 shown=%3 modified=%4 title=%5 count=%6")
                             .arg(state.path, state.keys.join(','), state.shown.join(','))
                             .arg(state.modified)
                             .arg(state.title, state.countLine));
}

}  // namespace

class DocumentTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    UseScriptedUi();  // no answers left over from another test
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QFile::remove(SettingsFile());
    m_document = std::make_unique<CZofrinDoc>();
    m_frame = std::make_unique<CMainFrame>(m_document.get());
    m_controller = m_frame->Controller();
    m_frame->show();
    m_controller->OnFileNew();
  }

  void cleanup() {
    SetWriteLimitForTesting(-1);
    m_frame.reset();
    m_document.reset();
    m_dir.reset();
    const auto shown = MessageBoxes::TakeShown();
    QVERIFY2(shown.empty(), shown.empty() ? "" : qPrintable(shown.front().text));
    const auto requests = FileDialogs::TakeRequests();
    QVERIFY2(requests.empty(), requests.empty() ? "" : qPrintable(requests.front().title));
  }

  void openThroughTheDialogThenNew() {
    const QString path = Write("three.lse", kFour.mid(0, 3));
    m_frame->View()->m_nGroupSize = 9;
    FileDialogs::QueueAnswer({path});
    m_frame->Dispatch(kFileOpen);
    const auto requests = FileDialogs::TakeRequests();
    QCOMPARE(requests.size(), std::size_t{1});
    QCOMPARE(requests[0].title, QStringLiteral("Open"));
    QCOMPARE(requests[0].filters, kFilters);
    QVERIFY(!requests[0].save);

    QCOMPARE(m_frame->windowTitle(), QStringLiteral("three.lse - Zofrin"));
    QCOMPARE(m_document->PathName(), path);
    QVERIFY(!m_document->IsModified());
    QCOMPARE(Texts(m_frame->View()->m_listMain), kFour.mid(0, 3));
    QCOMPARE(m_frame->View()->CountText(), CountLine(3));
    QCOMPARE(m_frame->View()->m_nGroupSize, 50);
    QCOMPARE(m_frame->centralWidget()->size(), m_frame->View()->FormSize());

    // New after an unchanged list asks nothing.
    m_frame->Dispatch(kFileNew);
    QCOMPARE(m_frame->windowTitle(), QStringLiteral("Untitled - Zofrin"));
    QVERIFY(m_document->PathName().isEmpty());
    QCOMPARE(m_document->m_setAddresses.Count(), std::size_t{0});
    QCOMPARE(m_frame->View()->CountText(), CountLine(0));
    QVERIFY(!m_document->IsModified());
  }

  void saveUntitled_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("saved");
    QTest::newRow("no extension gets .LSE") << "list" << "list.LSE";
    QTest::newRow("own extension kept") << "list.lse" << "list.lse";
    QTest::newRow("other extension kept") << "list.txt" << "list.txt";
  }

  // Save on a list without a file works as Save As proposing Untitled.LSE.
  void saveUntitled() {
    QFETCH(QString, typed);
    QFETCH(QString, saved);
    Edit(kFour);
    FileDialogs::QueueAnswer({Path(typed)});
    m_frame->Dispatch(kFileSave);
    const auto requests = FileDialogs::TakeRequests();
    QCOMPARE(requests.size(), std::size_t{1});
    QCOMPARE(requests[0].title, QStringLiteral("Save As"));
    QCOMPARE(requests[0].proposed, QStringLiteral("Untitled.LSE"));
    QCOMPARE(requests[0].filters, kFilters);
    QVERIFY(requests[0].save);

    QCOMPARE(ReadBytes(Path(saved)), SetBytes(m_document->m_setAddresses));
    QCOMPARE(FolderEntries(m_dir->path()), QStringList{saved});
    QCOMPARE(m_document->PathName(), Path(saved));
    QCOMPARE(m_frame->windowTitle(), saved + QStringLiteral(" - Zofrin"));
    QVERIFY(!m_document->IsModified());
    QCOMPARE(m_controller->RecentFiles().Paths(), QStringList{Path(saved)});
  }

  // Saving replaces the file's bytes and keeps its permissions.
  void saveLoadedListInPlace() {
    const QString path = Open("four.lse", kFour);
    const QFileDevice::Permissions permissions =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    QVERIFY(QFile::setPermissions(path, permissions));
    DeleteFirst();
    m_frame->Dispatch(kFileSave);
    QVERIFY(FileDialogs::TakeRequests().empty());
    QCOMPARE(ReadBytes(path), ListBytes(kFour.mid(1)));
    QVERIFY(!m_document->IsModified());
    QCOMPARE(FolderEntries(m_dir->path()), QStringList{"four.lse"});
    // (The "user" bits say what the running user may do, not the file's mode.)
    QCOMPARE(QFile::permissions(path) & ~QFileDevice::Permissions(0x0F00), permissions);

    // Save As proposes the file's own path; cancelling changes nothing.
    m_frame->Dispatch(kFileSaveAs);
    const auto requests = FileDialogs::TakeRequests();
    QCOMPARE(requests.size(), std::size_t{1});
    QCOMPARE(requests[0].proposed, path);
    QCOMPARE(m_document->PathName(), path);
  }

  void savePrompt_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("answer");
    for (const char* command : {"new", "open", "recent", "drop", "close"}) {
      QTest::addRow("%s, yes", command) << command << int(QMessageBox::Yes);
      QTest::addRow("%s, no", command) << command << int(QMessageBox::No);
      QTest::addRow("%s, cancel", command) << command << int(QMessageBox::Cancel);
    }
  }

  // Yes saves and goes on, No discards and goes on, Cancel stops the command.
  void savePrompt() {
    QFETCH(QString, command);
    QFETCH(int, answer);
    const QString other = Open("other.lse", {"zed@example.com"});
    const QString path = Open("four.lse", kFour);
    DeleteFirst();
    const DocumentState before = State();
    MessageBoxes::QueueAnswer(QMessageBox::StandardButton(answer));

    if (command == "new") {
      m_frame->Dispatch(kFileNew);
    } else if (command == "open") {
      FileDialogs::QueueAnswer({other});
      m_frame->Dispatch(kFileOpen);
      QCOMPARE(FileDialogs::TakeRequests().size(), std::size_t{1});
    } else if (command == "recent") {
      QCOMPARE(m_controller->RecentFiles().Paths().value(1), other);
      m_frame->Dispatch(kRecentFile2);
    } else if (command == "drop") {
      m_controller->OpenDroppedFiles({other});
    } else {
      m_frame->Dispatch(kExit);
    }

    const auto shown = MessageBoxes::TakeShown();
    QCOMPARE(shown.size(), std::size_t{1});
    QCOMPARE(shown[0].caption, QStringLiteral("Zofrin"));
    QCOMPARE(shown[0].text, QStringLiteral("Save changes to four.lse?"));
    QCOMPARE(shown[0].icon, QMessageBox::Warning);
    QCOMPARE(shown[0].buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);

    QCOMPARE(ReadBytes(path),
             ListBytes(answer == QMessageBox::Yes ? kFour.mid(1) : kFour));
    if (answer == QMessageBox::Cancel) {
      QCOMPARE(State(), before);
      QVERIFY(m_frame->isVisible());
    } else if (command == "new") {
      QVERIFY(m_document->PathName().isEmpty());
      QVERIFY(!m_document->IsModified());
    } else if (command == "close") {
      QVERIFY(!m_frame->isVisible());
    } else {
      QCOMPARE(m_document->PathName(), other);
      QCOMPARE(Texts(m_frame->View()->m_listMain), QStringList{"zed@example.com"});
      QVERIFY(!m_document->IsModified());
    }
  }

  // Closing waits for the save that Yes asks for: a cancelled Save As or a
  // failed save keeps the window and the list.
  void closeWaitsForTheSave() {
    Edit(kFour);
    const DocumentState before = State();
    MessageBoxes::QueueAnswer(QMessageBox::Yes);
    QVERIFY(!m_frame->close());
    QCOMPARE(FileDialogs::TakeRequests().size(), std::size_t{1});  // cancelled
    ExpectWarning(QStringLiteral("Save changes to Untitled?"));

    MessageBoxes::QueueAnswer(QMessageBox::Yes);
    FileDialogs::QueueAnswer({Path("list.lse")});
    SetWriteLimitForTesting(0);
    QVERIFY(!m_frame->close());
    FileDialogs::TakeRequests();
    const auto shown = MessageBoxes::TakeShown();
    QCOMPARE(shown.size(), std::size_t{2});
    QCOMPARE(shown[1].text, QStringLiteral("Disk full while accessing %1.").arg(Path("list.lse")));
    QVERIFY(m_frame->isVisible());
    QCOMPARE(State(), before);
    QVERIFY(FolderEntries(m_dir->path()).isEmpty());
  }

  // Dropped files open in turn; only a changed list asks, before the first.
  void dropTwoFiles() {
    const QString first = Write("first.lse", {"ann@example.com"});
    const QString second = Write("second.lse", {"bob@example.com", "carl@example.net"});
    m_controller->OpenDroppedFiles({first, second});
    QVERIFY(MessageBoxes::TakeShown().empty());
    QCOMPARE(m_document->PathName(), second);

    DeleteFirst();
    MessageBoxes::QueueAnswer(QMessageBox::No);
    m_controller->OpenDroppedFiles({first, second});
    QCOMPARE(MessageBoxes::TakeShown().size(), std::size_t{1});
    QCOMPARE(m_document->PathName(), second);
    QCOMPARE(Texts(m_frame->View()->m_listMain),
             QStringList({"bob@example.com", "carl@example.net"}));
    QCOMPARE(m_controller->RecentFiles().Paths(), QStringList({second, first}));
  }

  // A dropped file that cannot be opened does not stop the ones after it:
  // the list still has its changes, so the next one asks again.
  void dropAfterAFileThatCannotBeOpened() {
    const QString second = Write("second.lse", {"bob@example.com"});
    Open("four.lse", kFour);
    DeleteFirst();
    MessageBoxes::QueueAnswer(QMessageBox::No);
    MessageBoxes::QueueAnswer(QMessageBox::Ok);
    MessageBoxes::QueueAnswer(QMessageBox::No);
    m_controller->OpenDroppedFiles({Path("gone.lse"), second});
    QStringList texts;
    for (const ShownBox& box : MessageBoxes::TakeShown()) texts << box.text;
    QCOMPARE(texts, QStringList({"Save changes to four.lse?", Path("gone.lse") + " was not found.",
                                 "Save changes to four.lse?"}));
    QCOMPARE(m_document->PathName(), second);
  }

  // Cancel at the prompt ends the drop: the files after it stay unopened.
  void dropCancelled() {
    const QString second = Write("second.lse", {"bob@example.com"});
    const QString third = Write("third.lse", {"carl@example.net"});
    const QString path = Open("four.lse", kFour);
    DeleteFirst();
    MessageBoxes::QueueAnswer(QMessageBox::Cancel);
    m_controller->OpenDroppedFiles({second, third});
    QCOMPARE(MessageBoxes::TakeShown().size(), std::size_t{1});
    QCOMPARE(m_document->PathName(), path);
    QVERIFY(m_document->IsModified());
  }

  // Opening the current list's file again only brings the window forward:
  // nothing is read, no prompt, the changes stay.
  void openingTheCurrentFileOnlyActivates() {
    const QString path = Open("four.lse", kFour);
    QVERIFY(QDir(m_dir->path()).mkdir("sub"));
    DeleteFirst();
    const DocumentState before = State();
    QSignalSpy activated(m_controller, &DocumentController::activateRequested);
    m_controller->OpenDocumentFile(m_dir->path() + "/sub/../four.lse");
    FileDialogs::QueueAnswer({path});
    m_frame->Dispatch(kFileOpen);
    FileDialogs::TakeRequests();
    QCOMPARE(activated.count(), 2);
    QCOMPARE(State(), before);
  }

  void recentFiles() {
    QStringList paths;
    for (int i = 1; i <= 5; ++i) paths << Open(QStringLiteral("f%1.lse").arg(i), {"a@b.cd"});
    Open("f3.lse", {"a@b.cd"});  // already present: it moves to the front
    const QStringList expected = {paths[2], paths[4], paths[3], paths[1]};
    QCOMPARE(m_controller->RecentFiles().Paths(), expected);
    for (int i = 0; i < 4; ++i) {
      const QString text = m_frame->Action(Id(kRecentFile1 + i))->text();
      QVERIFY2(text.startsWith(QStringLiteral("&%1 ").arg(i + 1)), qPrintable(text));
      QVERIFY2(text.endsWith(QFileInfo(expected[i]).fileName()), qPrintable(text));
      QVERIFY(text.size() <= 3 + 30);
    }
    // Written when the program ends, exactly so.
    QVERIFY(m_frame->close());
    QString ini = QStringLiteral("[Recent File List]\n");
    for (int i = 0; i < 4; ++i) ini += QStringLiteral("File%1=%2\n").arg(i + 1).arg(expected[i]);
    QCOMPARE(QString::fromUtf8(ReadBytes(SettingsFile())), ini);
  }

  // A recent file that has gone is reported and leaves the list.
  void missingRecentFile() {
    const QString path = Open("gone.lse", kFour);
    m_controller->OnFileNew();
    QVERIFY(QFile::remove(path));
    m_frame->Dispatch(kRecentFile1);
    ExpectWarning(path + QStringLiteral(" was not found."));
    QVERIFY(m_controller->RecentFiles().Paths().isEmpty());
    QVERIFY(!m_frame->Action(kRecentFile1)->isVisible());
  }

  void openFailureLeavesEverything_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing file") << "missing" << "%1 was not found.";
    QTest::newRow("no permission") << "unreadable" << "Access to %1 was denied.";
    QTest::newRow("missing folder") << "missing folder" << "%1 was not found.";
    QTest::newRow("a folder") << "folder" << "Access to %1 was denied.";
  }

  // A file that cannot be opened leaves the list, its file, its flag and the
  // view as they were.
  void openFailureLeavesEverything() {
    QFETCH(QString, setup);
    QFETCH(QString, message);
    if (setup == "unreadable" && RunningAsRoot()) QSKIP("root reads every file");
    QString target = Path("target.lse");
    if (setup == "unreadable") {
      Write("target.lse", kFour);
      QVERIFY(QFile::setPermissions(target, QFileDevice::WriteOwner));
    } else if (setup == "missing folder") {
      target = Path("no-folder/target.lse");
    } else if (setup == "folder") {
      QVERIFY(QDir(m_dir->path()).mkdir("target.lse"));
    }
    Open("four.lse", kFour);
    DeleteFirst();
    const DocumentState before = State();
    MessageBoxes::QueueAnswer(QMessageBox::No);
    QVERIFY(!m_controller->OpenDocumentFile(target));
    const auto shown = MessageBoxes::TakeShown();
    QCOMPARE(shown.size(), std::size_t{2});  // the save prompt, then the failure
    QCOMPARE(shown[1].caption, QStringLiteral("Zofrin"));
    QCOMPARE(shown[1].text, QString(message).arg(target));
    QCOMPARE(shown[1].icon, QMessageBox::Warning);
    QCOMPARE(shown[1].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(State(), before);
  }

  void damagedFile_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("count only") << QByteArray::fromHex("0100");
    QTest::newRow("one byte") << QByteArray::fromHex("00");
    QTest::newRow("second entry missing") << ListBytes({"ann@example.com"}).replace(0, 1, "\x02");
    QTest::newRow("string cut short") << QByteArray::fromHex("01000f616e6e40");
    QTest::newRow("long count cut short") << QByteArray::fromHex("ffff0100");
    QTest::newRow("value missing") << QByteArray::fromHex("010003616263");
    QTest::newRow("wide mark twice") << QByteArray::fromHex("0100fffefffffeff03610062006300");
  }

  // A read that fails once the file is open leaves a new, empty list.
  void damagedFile() {
    QFETCH(QByteArray, bytes);
    const QString damaged = Path("damaged.lse");
    WriteBytes(damaged, bytes);
    Open("four.lse", kFour);
    m_frame->View()->m_nGroupSize = 3;
    QVERIFY(!m_controller->OpenDocumentFile(damaged));
    ExpectWarning(QStringLiteral("Unexpected file format."));
    QVERIFY(m_document->PathName().isEmpty());
    QCOMPARE(m_frame->windowTitle(), QStringLiteral("Untitled - Zofrin"));
    QVERIFY(!m_document->IsModified());
    QCOMPARE(m_document->m_setAddresses.Count(), std::size_t{0});
    QCOMPARE(m_frame->View()->m_listMain.Count(), std::size_t{0});
    QCOMPARE(m_frame->View()->CountText(), CountLine(0));
    QCOMPARE(m_frame->View()->findChild<QLabel*>("countLine")->text(), CountLine(0));
    QCOMPARE(m_frame->View()->m_nGroupSize, 50);
    QVERIFY(!m_controller->RecentFiles().Paths().contains(damaged));
    QCOMPARE(ReadBytes(damaged), bytes);
  }

  void emptyFileOpensEmpty() {
    Open("four.lse", kFour);
    const QString empty = Path("empty.lse");
    WriteBytes(empty, {});
    QVERIFY(m_controller->OpenDocumentFile(empty));
    QCOMPARE(m_document->PathName(), empty);
    QCOMPARE(m_frame->windowTitle(), QStringLiteral("empty.lse - Zofrin"));
    QVERIFY(!m_document->IsModified());
    QCOMPARE(m_frame->View()->CountText(), CountLine(0));
  }

  void saveFailureLeavesEverything_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("saveAs");  // empty: Save to the list's own file
    QTest::addColumn<QString>("message");
    QTest::newRow("disk full") << "full" << "" << "Disk full while accessing %1.";
    QTest::newRow("read-only file") << "read-only" << "" << "Access to %1 was denied.";
    QTest::newRow("disk full, new file")
        << "full" << "new.lse" << "Disk full while accessing %1.";
    QTest::newRow("over a folder") << "folder" << "folder.lse" << "Access to %1 was denied.";
    QTest::newRow("into a missing folder") << "" << "none/new.lse" << "%1 was not found.";
    QTest::newRow("into a read-only folder")
        << "read-only folder" << "new.lse" << "Access to %1 was denied.";
  }

  // A failed save reports the cause and leaves the old file byte for byte,
  // no temporary file, and the document as it was.
  void saveFailureLeavesEverything() {
    QFETCH(QString, setup);
    QFETCH(QString, saveAs);
    QFETCH(QString, message);
    if (setup == "read-only folder" && RunningAsRoot()) QSKIP("root writes into every folder");
    const QString path = Open("four.lse", kFour);
    DeleteFirst();
    if (setup == "read-only") {
      QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    } else if (setup == "folder") {
      QVERIFY(QDir(m_dir->path()).mkdir(saveAs));
    } else if (setup == "read-only folder") {
      QVERIFY(QFile::setPermissions(m_dir->path(), QFileDevice::ReadOwner |
                                                       QFileDevice::ExeOwner));
    } else if (setup == "full") {
      SetWriteLimitForTesting(5);
    }
    const QStringList entries = FolderEntries(m_dir->path());
    const DocumentState before = State();

    const QString target = saveAs.isEmpty() ? path : Path(saveAs);
    if (saveAs.isEmpty()) {
      m_frame->Dispatch(kFileSave);
    } else {
      FileDialogs::QueueAnswer({target});
      m_frame->Dispatch(kFileSaveAs);
      QCOMPARE(FileDialogs::TakeRequests().size(), std::size_t{1});
    }
    SetWriteLimitForTesting(-1);
    QFile::setPermissions(m_dir->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                             QFileDevice::ExeOwner);

    const auto shown = MessageBoxes::TakeShown();
    QCOMPARE(shown.size(), std::size_t{1});
    QCOMPARE(shown[0].caption, QStringLiteral("Zofrin"));
    QCOMPARE(shown[0].text, QString(message).arg(target));
    QCOMPARE(shown[0].icon, QMessageBox::Warning);
    QCOMPARE(ReadBytes(path), ListBytes(kFour));
    QCOMPARE(FolderEntries(m_dir->path()), entries);
    if (setup == "folder") QVERIFY(QFileInfo(target).isDir());
    QCOMPARE(State(), before);
  }

 private:
  QString Path(const QString& name) const { return m_dir->path() + QLatin1Char('/') + name; }

  QString Write(const QString& name, const QStringList& addresses) {
    const QString path = Path(name);
    WriteBytes(path, ListBytes(addresses));
    return path;
  }

  // Writes a list file and opens it as the current list.
  QString Open(const QString& name, const QStringList& addresses) {
    const QString path = Write(name, addresses);
    [&] { QVERIFY(m_controller->OpenDocumentFile(path)); }();
    return path;
  }

  // A new list with `addresses`, changed by the user.
  void Edit(const QStringList& addresses) {
    m_document->m_setAddresses = MakeSet(addresses);
    m_frame->View()->OnInitialUpdate();
    m_document->SetModifiedFlag(true);
  }

  void DeleteFirst() {
    m_frame->View()->m_listMain.SetSel(true, 0);
    m_frame->UpdateCommandUI();
    m_frame->Dispatch(kDelete);
    QVERIFY(m_document->IsModified());
  }

  void ExpectWarning(const QString& text) {
    const auto shown = MessageBoxes::TakeShown();
    QCOMPARE(shown.size(), std::size_t{1});
    QCOMPARE(shown[0].caption, QStringLiteral("Zofrin"));
    QCOMPARE(shown[0].text, text);
    QCOMPARE(shown[0].icon, QMessageBox::Warning);
  }

  DocumentState State() const {
    return {m_document->PathName(),
            SortedKeys(m_document->m_setAddresses),
            Texts(m_frame->View()->m_listMain),
            m_document->IsModified(),
            m_frame->windowTitle(),
            m_frame->View()->CountText(),
            m_controller->RecentFiles().Paths()};
  }

  std::unique_ptr<QTemporaryDir> m_dir;
  std::unique_ptr<CZofrinDoc> m_document;
  std::unique_ptr<CMainFrame> m_frame;
  DocumentController* m_controller = nullptr;
};

ZOFRIN_GUI_TEST_MAIN(DocumentTest)
#include "document_test.moc"
