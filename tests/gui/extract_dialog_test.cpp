// The extraction-from-files dialog: its layout and keyboard, choosing files,
// reading them block by block into the review list, pruning both lists, the
// progress shown on long work, and the merge of Transfer into the main list
// and the document's set through the view's command.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <thread>
#include <sys/stat.h>

#include "app/main_frame.h"
#include "app/zofrin_doc.h"
#include "app/zofrin_view.h"
#include "dialogs/extract_dlg.h"
#include "framework/dialog_units.h"
#include "framework/list_pane.h"
#include "gui_test_support.h"

using namespace zofrin;
using namespace zofrin::commands;
using namespace zofrin::test;

namespace {

const QStringList kFileTypes = {"All files(*.*)", "HTML files(*.html,*.htm)",
                                "Text files(*.txt)"};

QString FileCount(int count) { return QStringLiteral("Number of files: %1").arg(count); }
QString AddressCount(int count) { return QStringLiteral("Number of addresses: %1").arg(count); }

QByteArray Spaces(int count) { return QByteArray(count, ' '); }

// A literal that may hold zero bytes.
template <std::size_t N>
QByteArray Bytes(const char (&text)[N]) {
  return QByteArray(text, qsizetype(N - 1));
}

// `text` padded with blanks to a whole 512-byte block.
QByteArray Block(const QByteArray& text) { return text + Spaces(512 - int(text.size())); }

// UTF-16LE, without a byte order mark.
QByteArray Utf16(const QString& text) {
  QByteArray bytes;
  for (const QChar c : text) bytes += char(c.unicode() & 0xff), bytes += char(c.unicode() >> 8);
  return bytes;
}

// A UTF-16 text in which the characters that start the 512-byte blocks spell
// `word`; every other character is an 'x'.
QByteArray Utf16SpellingAtBlockStarts(const QString& word) {
  QString text(int(word.size()) * 256, QLatin1Char('x'));
  for (int i = 0; i < word.size(); ++i) text[i * 256] = word[i];
  return Utf16(text);
}

// The addresses of the large file, numbered in file order with zeros in
// front, so that display order is file order.
QByteArray NumberedAddress(int number) {
  return QByteArray("x") + QByteArray::number(number).rightJustified(7, '0') + "@example.com";
}

// About 8 MiB of numbered addresses. Where the file is read in 512 KiB
// pieces, each piece ends in the middle of an address, just before its
// final "m": a reader that stops there must not list "...@example.co".
// Answers the bytes and, in `addresses`, how many addresses they hold.
QByteArray LargeFile(int* addresses) {
  constexpr int kPiece = 512 * 1024;
  const QByteArray filler = "  some words between the addresses, ";
  const int length = int(NumberedAddress(0).size());
  QByteArray bytes;
  int number = 0;
  for (int piece = 1; piece <= 16; ++piece) {
    const int start = piece * kPiece - (length - 1);
    for (;;) {
      const QByteArray line = filler + NumberedAddress(number) + '\n';
      if (bytes.size() + line.size() >= start) break;
      bytes += line;
      ++number;
    }
    bytes += Spaces(start - int(bytes.size())) + NumberedAddress(number++) + '\n';
  }
  bytes += filler + NumberedAddress(number++) + '\n';
  *addresses = number;
  return bytes;
}

QPushButton* Button(QWidget* dialog, const char* name) {
  return dialog->findChild<QPushButton*>(QLatin1String(name));
}

QString Label(QWidget* dialog, const char* name) {
  return dialog->findChild<QLabel*>(QLatin1String(name))->text();
}

CListPane* Pane(QWidget* dialog, const char* name) {
  return dialog->findChild<CListPane*>(QLatin1String(name));
}

// Chooses `paths` through Select, the file dialog answering with them.
void Select(QWidget* dialog, const QStringList& paths) {
  FileDialogs::QueueAnswer(paths);
  Button(dialog, "selectFiles")->click();
}

}  // namespace

class ExtractDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    UseScriptedUi();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
  }

  void cleanup() {
    m_frame.reset();
    m_document.reset();
    m_dir.reset();
    const auto shown = MessageBoxes::TakeShown();
    QVERIFY2(shown.empty(), shown.empty() ? "" : qPrintable(shown.front().text));
    // Every file dialog a test expects, it takes.
    QCOMPARE(FileDialogs::TakeRequests().size(), std::size_t{0});
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QVERIFY(QApplication::overrideCursor() == nullptr);
  }

  // Caption, size and every control where the layout puts it, in dialog
  // units of the dialog's own font; both lists scroll sideways over 1250
  // pixels; the count lines start at 0.
  void layout() {
    CExtractDlg dialog(nullptr);
    const DialogUnits units(dialog.font());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Extracting Email addresses from files..."));
    QCOMPARE(dialog.size(), units.Size(351, 212));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QVERIFY(!(dialog.windowFlags() & Qt::WindowContextHelpButtonHint));

    struct Control {
      const char* name;
      const char* text;
      QRect rect;
    };
    const Control buttons[] = {
        {"selectFiles", "Select", units.Rect(9, 188, 44, 14)},
        {"removeFiles", "Remove", units.Rect(54, 188, 43, 14)},
        {"removeAllFiles", "Remove All", units.Rect(98, 188, 45, 14)},
        {"extract", "Extract", units.Rect(153, 67, 44, 14)},
        {"cancel", "Cancel", units.Rect(153, 86, 44, 14)},
        {"removeAddresses", "Remove", units.Rect(208, 188, 44, 14)},
        {"removeAllAddresses", "Remove All", units.Rect(253, 188, 44, 14)},
        {"transfer", "Transfer", units.Rect(298, 188, 44, 14)},
    };
    for (const Control& control : buttons) {
      QPushButton* button = Button(&dialog, control.name);
      QVERIFY2(button, control.name);
      QCOMPARE(button->text(), QString::fromLatin1(control.text));
      QCOMPARE(button->geometry(), control.rect);
    }
    QVERIFY(Button(&dialog, "transfer")->isDefault());

    QCOMPARE(Pane(&dialog, "files")->geometry(), units.Rect(10, 12, 130, 154));
    QCOMPARE(Pane(&dialog, "addresses")->geometry(), units.Rect(209, 12, 129, 154));
    for (const char* name : {"files", "addresses"}) {
      CListPane* pane = Pane(&dialog, name);
      QCOMPARE(pane->HorizontalExtent(), 1250);
      QCOMPARE(pane->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
      QCOMPARE(pane->horizontalScrollBar()->maximum(), 1250 - pane->viewport()->width());
    }

    auto* fileCount = dialog.findChild<QLabel*>(QStringLiteral("fileCount"));
    auto* addressCount = dialog.findChild<QLabel*>(QStringLiteral("addressCount"));
    QCOMPARE(fileCount->text(), FileCount(0));
    QCOMPARE(dialog.m_strFileCount, FileCount(0));
    QCOMPARE(fileCount->geometry(), units.Rect(10, 170, 129, 8));
    QCOMPARE(addressCount->text(), AddressCount(0));
    QCOMPARE(dialog.m_strAddressCount, AddressCount(0));
    QCOMPARE(addressCount->geometry(), units.Rect(209, 170, 128, 8));

    QList<QRect> separators;
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
      if (label->text() == QString(39, QLatin1Char('_'))) separators << label->geometry();
    }
    QCOMPARE(separators, QList<QRect>({units.Rect(7, 178, 137, 8), units.Rect(205, 178, 138, 8)}));
    QList<QPair<QString, QRect>> groups;
    for (QGroupBox* box : dialog.findChildren<QGroupBox*>()) {
      groups << qMakePair(box->title(), box->geometry());
    }
    QCOMPARE(groups, (QList<QPair<QString, QRect>>{
                         {QStringLiteral("Files to process"), units.Rect(6, 3, 139, 202)},
                         {QStringLiteral("Extracted addresses"), units.Rect(204, 3, 140, 202)}}));
  }

  // Transfer has the focus when the dialog opens; Tab walks the controls in
  // the template's order and comes back to it.
  void tabOrder() {
    CExtractDlg dialog(nullptr);
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(QApplication::focusWidget(), Button(&dialog, "transfer"));
    QStringList visited;
    for (int i = 0; i < 10; ++i) {
      QTest::keyClick(dialog.windowHandle(), Qt::Key_Tab);
      visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, QStringList({"cancel", "selectFiles", "removeFiles", "removeAllFiles",
                                   "removeAddresses", "removeAllAddresses", "extract", "files",
                                   "addresses", "transfer"}));
    dialog.reject();
  }

  void keyboard_data() {
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("result");  // -1: the dialog stays open
    QTest::addColumn<int>("addressesLeft");
    QTest::newRow("Enter on Transfer") << "transfer" << int(Qt::Key_Return) << 1 << 3;
    QTest::newRow("Enter in the addresses list, Transfer being the default")
        << "addresses" << int(Qt::Key_Return) << 1 << 3;
    QTest::newRow("Enter in the file list") << "files" << int(Qt::Key_Enter) << 1 << 3;
    // A focused push button takes Enter itself.
    QTest::newRow("Enter on Cancel") << "cancel" << int(Qt::Key_Return) << 0 << 3;
    QTest::newRow("Enter on Remove") << "removeAddresses" << int(Qt::Key_Return) << -1 << 2;
    QTest::newRow("Esc") << "addresses" << int(Qt::Key_Escape) << 0 << 3;
  }

  void keyboard() {
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(int, result);
    QFETCH(int, addressesLeft);
    const QString file =
        Fixture("three.txt", "ann@example.com bob@example.com carl@example.net");
    CExtractDlg dialog(nullptr);
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    Select(&dialog, {file});
    FileDialogs::TakeRequests();
    Button(&dialog, "extract")->click();
    dialog.m_listAddresses.SetSel(true, 1);
    dialog.findChild<QWidget*>(focus)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(dialog.windowHandle(), Qt::Key(key));
    QCOMPARE(dialog.isVisible(), result < 0);
    if (result >= 0) QCOMPARE(dialog.result(), result);
    QCOMPARE(int(dialog.m_listAddresses.Count()), addressesLeft);
    QCOMPARE(int(dialog.m_arrTransfer.Size()), result == 1 ? 3 : 0);
    if (dialog.isVisible()) dialog.reject();
  }

  // Select: the open dialog with the three file types, "All files" first,
  // several files allowed; the paths go in sorted, duplicates kept; a
  // cancelled dialog changes nothing.
  void selectFiles() {
    CExtractDlg dialog(nullptr);
    // Extract before any file is chosen does nothing.
    Button(&dialog, "extract")->click();
    QCOMPARE(Label(&dialog, "addressCount"), AddressCount(0));
    const QString b = m_dir->filePath("b.html"), a = m_dir->filePath("A.txt");
    Select(&dialog, {b, a, b});
    auto requests = FileDialogs::TakeRequests();
    QCOMPARE(requests.size(), std::size_t{1});
    QCOMPARE(requests[0].filters, kFileTypes);
    QVERIFY(requests[0].multiple);
    QVERIFY(!requests[0].save);
    QCOMPARE(requests[0].title, QStringLiteral("Open"));
    QCOMPARE(Texts(dialog.m_listFiles), QStringList({a, b, b}));
    QCOMPARE(Label(&dialog, "fileCount"), FileCount(3));
    QCOMPARE(dialog.m_strFileCount, FileCount(3));

    Select(&dialog, {});  // cancelled
    QCOMPARE(FileDialogs::TakeRequests().size(), std::size_t{1});
    QCOMPARE(Texts(dialog.m_listFiles), QStringList({a, b, b}));
    QCOMPARE(Label(&dialog, "fileCount"), FileCount(3));

    // A second Select adds to what is there.
    Select(&dialog, {a});
    FileDialogs::TakeRequests();
    QCOMPARE(Texts(dialog.m_listFiles), QStringList({a, a, b, b}));
    QCOMPARE(Label(&dialog, "fileCount"), FileCount(4));
  }

  // The text of a file is its 512-byte blocks, each cut at its first zero
  // byte, joined; the scanner runs over that text.
  void fileText_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("address across a block boundary")
        << Spaces(503) + "ann@example.com and more" << QStringList{"ann@example.com"};
    QTest::newRow("address ending where the file ends, at a whole block")
        << Spaces(512 - 15) + "ann@example.com" << QStringList{"ann@example.com"};
    QTest::newRow("zero bytes cut the rest of their block")
        << Block(Bytes("ann@example.com \0bob@example.com ")) +
               Block(Bytes("carl@example.net\0\0dora@example.org")) +
               // Cut pieces join: "eve@exa" and "mple.com" make an address.
               Block(Bytes("  eve@exa\0fay@example.org")) + Bytes("mple.com \0gus@example.org")
        << QStringList{"ann@example.com", "carl@example.net", "eve@example.com"};
    QTest::newRow("zero byte first in a block")
        << Block(Bytes("\0ann@example.com")) + "bob@example.com"
        << QStringList{"bob@example.com"};
    QTest::newRow("UTF-16 text") << Utf16(QStringLiteral("Write to ann@example.com today. ")
                                              .repeated(40))
                                 << QStringList{};
    QTest::newRow("UTF-16, one character per block")
        << Utf16SpellingAtBlockStarts(QStringLiteral("ann@example.com"))
        << QStringList{"ann@example.com"};
    QTest::newRow("empty file") << QByteArray() << QStringList{};
    QTest::newRow("HTML, duplicates kept")
        << QByteArray("<p><a href=\"mailto:Ann@Example.com\">Ann@Example.com</a> &lt;"
                      "bob@example.org&gt;</p>")
        << QStringList{"Ann@Example.com", "Ann@Example.com", "bob@example.org"};
  }

  void fileText() {
    QFETCH(QByteArray, content);
    QFETCH(QStringList, found);
    CExtractDlg dialog(nullptr);
    Select(&dialog, {Fixture("fixture", content)});
    FileDialogs::TakeRequests();
    Button(&dialog, "extract")->click();
    QCOMPARE(Texts(dialog.m_listAddresses), found);
    QCOMPARE(Label(&dialog, "addressCount"), AddressCount(int(found.size())));
    QCOMPARE(dialog.m_strAddressCount, AddressCount(int(found.size())));
  }

  // Each file is scanned on its own; one chosen twice is scanned twice;
  // whatever cannot be read as a regular file is skipped without a word,
  // a FIFO without waiting for a writer. A path longer than 255 characters
  // and a name outside ASCII are read like any other.
  void severalFiles() {
    const QString start = Fixture("a-start.txt", "x ann@exa");
    const QString end = Fixture("b-end.txt", "mple.com bob@example.org");
    const QString gone = Fixture("gone.txt", "gone@example.com");
    QString deep = m_dir->path();
    while (deep.size() < 300) {
      deep += QStringLiteral("/folder-with-a-long-name");
      QVERIFY(QDir().mkpath(deep));
    }
    const QString deepFile = Fixture(deep + "/deep.txt", "deep@example.com");
    const QString accented = Fixture(QStringLiteral("caf\u00e9.txt"), "cafe@example.com");
    const QString fifo = m_dir->filePath("fifo");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString folder = m_dir->filePath("folder.txt");
    QVERIFY(QDir().mkdir(folder));
    QStringList chosen = {start, end, gone, deepFile, accented, fifo, folder, end,
                          m_dir->filePath("never-there.txt")};
    QStringList expected = {"bob@example.org", "bob@example.org", "cafe@example.com",
                            "deep@example.com"};
    const QString locked = Fixture("locked.txt", "locked@example.com");
    if (!RunningAsRoot()) {
      QVERIFY(QFile::setPermissions(locked, QFileDevice::WriteOwner));
      chosen << locked;
    }

    CExtractDlg dialog(nullptr);
    Select(&dialog, chosen);
    FileDialogs::TakeRequests();
    QCOMPARE(Label(&dialog, "fileCount"), FileCount(int(chosen.size())));
    QVERIFY(QFile::remove(gone));
    Button(&dialog, "extract")->click();
    QCOMPARE(Texts(dialog.m_listAddresses), expected);
    QCOMPARE(Label(&dialog, "addressCount"), AddressCount(4));
    // The files stay listed, readable or not.
    QCOMPARE(int(dialog.m_listFiles.Count()), int(chosen.size()));

    // A second Extract adds everything again; the count line counts all.
    Button(&dialog, "extract")->click();
    QStringList twice;
    for (const QString& address : expected) twice << address << address;
    QCOMPARE(Texts(dialog.m_listAddresses), twice);
    QCOMPARE(Label(&dialog, "addressCount"), AddressCount(8));
  }

  void remove_data() {
    QTest::addColumn<QString>("pane");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QList<int>>("left");
    for (const char* pane : {"files", "addresses"}) {
      const QString remove = pane == QLatin1String("files") ? "removeFiles" : "removeAddresses";
      const QString removeAll =
          pane == QLatin1String("files") ? "removeAllFiles" : "removeAllAddresses";
      QTest::addRow("%s: Remove 1 and 3 of 5", pane)
          << pane << remove << QList<int>{1, 3} << QList<int>{0, 2, 4};
      QTest::addRow("%s: Remove all selected", pane)
          << pane << remove << QList<int>{0, 1, 2, 3, 4} << QList<int>{};
      QTest::addRow("%s: Remove with nothing selected", pane)
          << pane << remove << QList<int>{} << QList<int>{0, 1, 2, 3, 4};
      QTest::addRow("%s: Remove All", pane)
          << pane << removeAll << QList<int>{2} << QList<int>{};
    }
  }

  // Remove takes the selected entries out of its own list only; Remove All
  // empties it. The count line follows.
  void remove() {
    QFETCH(QString, pane);
    QFETCH(QString, button);
    QFETCH(QList<int>, selected);
    QFETCH(QList<int>, left);
    QStringList files, addresses;
    for (int i = 0; i < 5; ++i) {
      addresses << QStringLiteral("a%1@example.com").arg(i);
      files << Fixture(QStringLiteral("f%1.txt").arg(i), addresses.last().toLatin1());
    }
    CExtractDlg dialog(nullptr);
    Select(&dialog, files);
    FileDialogs::TakeRequests();
    Button(&dialog, "extract")->click();
    const bool onFiles = pane == QLatin1String("files");
    SortedAddressList& list = onFiles ? dialog.m_listFiles : dialog.m_listAddresses;
    for (int index : selected) list.SetSel(true, std::size_t(index));
    Button(&dialog, button.toLatin1().constData())->click();

    const QStringList all = onFiles ? files : addresses;
    QStringList expected;
    for (int index : left) expected << all[index];
    QCOMPARE(Texts(list), expected);
    QCOMPARE(list.SelectedCount(), std::size_t{0});
    QCOMPARE(Label(&dialog, onFiles ? "fileCount" : "addressCount"),
             onFiles ? FileCount(int(left.size())) : AddressCount(int(left.size())));
    // The other list is untouched.
    QCOMPARE(Texts(onFiles ? dialog.m_listAddresses : dialog.m_listFiles),
             onFiles ? addresses : files);
  }

  // Extraction running past the delay shows its progress: the file being
  // read and the bytes done of the total, under the busy cursor, while the
  // dialog's events go on. Cancel stops it after the current piece and keeps
  // the addresses found so far, each whole.
  void progressAndCancel_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel button") << "Cancel";
    QTest::newRow("Esc") << "Esc";
  }

  void progressAndCancel() {
    QFETCH(QString, how);
    int perFile = 0;
    const QByteArray content = LargeFile(&perFile);
    const QString file = Fixture("large.txt", content);
    constexpr int kCopies = 40;
    CExtractDlg dialog(nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    Select(&dialog, QStringList(kCopies, file));
    FileDialogs::TakeRequests();
    dialog.SetProgressDelay(0);

    QString label;
    bool busy = false;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
      auto* progress = dialog.findChild<QProgressDialog*>();
      if (!progress || !progress->isVisible() || progress->value() <= 0) return;
      watch.stop();
      label = progress->labelText();
      busy = QApplication::overrideCursor() &&
             QApplication::overrideCursor()->shape() == Qt::WaitCursor;
      if (how == QLatin1String("Esc")) {
        QTest::keyClick(progress, Qt::Key_Escape);
      } else {
        progress->findChild<QPushButton*>()->click();
      }
    });
    watch.start(1);
    Button(&dialog, "extract")->click();
    watch.stop();

    QVERIFY2(!label.isEmpty(), "no progress was shown");
    const double totalMb = double(content.size()) * kCopies / 1048576.0;
    QVERIFY2(label.startsWith(QStringLiteral("Reading %1\n").arg(file)), qPrintable(label));
    QVERIFY2(label.endsWith(QStringLiteral(" / %1 MB").arg(totalMb, 0, 'f', 1)),
             qPrintable(label));
    QVERIFY(busy);
    QVERIFY(dialog.findChild<QProgressDialog*>() == nullptr);

    // Files are read in order, each from its start, one per thread at a
    // time: every address shows up as often as the number of files read
    // whole, or up to once more for each file being read at the Cancel.
    const std::size_t count = dialog.m_listAddresses.Count();
    QVERIFY(count > 0);
    QVERIFY(count < std::size_t(perFile) * kCopies);
    std::vector<int> times(std::size_t(perFile), 0);
    for (std::size_t i = 0; i < count; ++i) {
      const std::string_view text = dialog.m_listAddresses.Text(i);
      const QByteArray address(text.data(), qsizetype(text.size()));
      const int number = address.mid(1, 7).toInt();
      QVERIFY2(address == NumberedAddress(number) && number < perFile, address.constData());
      ++times[std::size_t(number)];
    }
    const int inFlight = int(std::max(1u, std::thread::hardware_concurrency()));
    for (int i = 1; i < perFile; ++i) {
      QVERIFY2(times[i] <= times[i - 1] && times[0] - times[i] <= inFlight,
               qPrintable(QString::number(i)));
    }
    QCOMPARE(Label(&dialog, "addressCount"), AddressCount(int(count)));
    dialog.reject();
  }

  // Transfer through the view's command: the addresses list top to bottom
  // merged into the main list and the document's set, the document marked
  // modified even when nothing came, the count line refreshed.
  void transfer_data() {
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QList<int>>("selectedBefore");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QStringList>("selectedAfter");
    const QStringList three = {"ann@example.com", "bob@example.com", "carl@example.net"};
    QTest::newRow("empty addresses list") << three << QList<int>{1} << QByteArray("no addresses")
                                          << three << QStringList{"bob@example.com"};
    QTest::newRow("one address three times")
        << three << QList<int>{}
        << QByteArray("dora@example.org, dora@example.org dora@example.org")
        << QStringList{"ann@example.com", "bob@example.com", "carl@example.net",
                       "dora@example.org"}
        << QStringList{};
    QTest::newRow("an address the list holds, selected")
        << three << QList<int>{0, 2} << QByteArray("ann@example.com eve@example.com")
        << QStringList{"ann@example.com", "bob@example.com", "carl@example.net",
                       "eve@example.com"}
        << QStringList{"carl@example.net"};
    QTest::newRow("two letter cases")
        << three << QList<int>{} << QByteArray("Dora@example.org dora@example.org")
        << QStringList{"ann@example.com", "bob@example.com", "carl@example.net",
                       "Dora@example.org", "dora@example.org"}
        << QStringList{};
    QTest::newRow("another letter case of an address the list holds")
        << three << QList<int>{} << QByteArray("Bob@example.com")
        << QStringList{"ann@example.com", "Bob@example.com", "bob@example.com",
                       "carl@example.net"}
        << QStringList{};
    QTest::newRow("into an empty list")
        << QStringList{} << QList<int>{} << QByteArray("zed@example.com amy@example.com")
        << QStringList{"amy@example.com", "zed@example.com"} << QStringList{};
  }

  void transfer() {
    QFETCH(QStringList, before);
    QFETCH(QList<int>, selectedBefore);
    QFETCH(QByteArray, content);
    QFETCH(QStringList, after);
    QFETCH(QStringList, selectedAfter);
    ShowMainWindow(before);
    for (int index : selectedBefore) m_view->m_listMain.SetSel(true, std::size_t(index));
    const QString file = Fixture("fixture.txt", content);

    QStringList reviewed;
    RunCommand([&](CExtractDlg& dialog) {
      QCOMPARE(dialog.parentWidget(), m_frame.get());
      Select(&dialog, {file});
      Button(&dialog, "extract")->click();
      reviewed = Texts(dialog.m_listAddresses);
      // Nothing reaches the document before Transfer.
      QCOMPARE(Texts(m_view->m_listMain), before);
      QVERIFY(!m_document->IsModified());
      Button(&dialog, "transfer")->click();
      QStringList transferred;
      for (std::string_view text : dialog.m_arrTransfer.Views()) {
        transferred << QString::fromLatin1(text.data(), qsizetype(text.size()));
      }
      QCOMPARE(transferred, reviewed);
    });
    FileDialogs::TakeRequests();
    QCOMPARE(Texts(m_view->m_listMain), after);
    QStringList selected;
    for (int index : SelectedIndexes(m_view->m_listMain)) selected << after[index];
    QCOMPARE(selected, selectedAfter);
    QCOMPARE(SortedKeys(m_document->m_setAddresses), after);
    // The set as storing each transferred address in turn leaves it, which
    // decides the order of the saved file.
    AddressSet expected = MakeSet(before);
    for (const QString& address : reviewed) expected.Store(address.toStdString());
    QCOMPARE(SetBytes(m_document->m_setAddresses), SetBytes(expected));
    QVERIFY(m_document->IsModified());
    QCOMPARE(m_view->CountText(), AddressCount(int(after.size())));
    QCOMPARE(m_view->findChild<QLabel*>(QStringLiteral("countLine"))->text(),
             AddressCount(int(after.size())));
  }

  // Cancel after Extract leaves the main list, the set and the flag alone;
  // the next opening starts with both lists empty.
  void cancelAfterExtract() {
    const QStringList three = {"ann@example.com", "bob@example.com", "carl@example.net"};
    ShowMainWindow(three);
    m_view->m_listMain.SetSel(true, 1);
    const QByteArray setBefore = SetBytes(m_document->m_setAddresses);
    const QString file = Fixture("fixture.txt", "ann@example.com dora@example.org");
    for (const char* how : {"Cancel", "Esc"}) {
      RunCommand([&](CExtractDlg& dialog) {
        QCOMPARE(dialog.m_listFiles.Count(), std::size_t{0});
        QCOMPARE(dialog.m_listAddresses.Count(), std::size_t{0});
        QCOMPARE(Label(&dialog, "fileCount"), FileCount(0));
        Select(&dialog, {file});
        Button(&dialog, "extract")->click();
        QCOMPARE(dialog.m_listAddresses.Count(), std::size_t{2});
        if (how == QLatin1String("Esc")) {
          QTest::keyClick(&dialog, Qt::Key_Escape);
        } else {
          Button(&dialog, "cancel")->click();
        }
        QVERIFY(!dialog.isVisible());
      });
      FileDialogs::TakeRequests();
      QCOMPARE(Texts(m_view->m_listMain), three);
      QCOMPARE(SelectedIndexes(m_view->m_listMain), QList<int>{1});
      QCOMPARE(SetBytes(m_document->m_setAddresses), setBefore);
      QVERIFY(!m_document->IsModified());
    }
  }

 private:
  // Writes a fixture file; `name` is relative to the test's folder unless
  // it is absolute.
  QString Fixture(const QString& name, const QByteArray& bytes) {
    const QString path = QDir::isAbsolutePath(name) ? name : m_dir->filePath(name);
    WriteBytes(path, bytes);
    return path;
  }

  void ShowMainWindow(const QStringList& addresses) {
    m_document = std::make_unique<CZofrinDoc>();
    m_frame = std::make_unique<CMainFrame>(m_document.get());
    m_view = m_frame->View();
    m_frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
    m_document->m_setAddresses = MakeSet(addresses);
    m_view->OnInitialUpdate();
  }

  // Runs the view's command, `act` working in the dialog while it is open.
  // A dialog still open afterwards is cancelled, so a failed check never
  // leaves the test waiting for it.
  void RunCommand(const std::function<void(CExtractDlg&)>& act) {
    bool opened = false;
    QTimer::singleShot(0, this, [&] {
      auto* dialog = qobject_cast<CExtractDlg*>(QApplication::activeModalWidget());
      if (dialog == nullptr) {
        if (QWidget* other = QApplication::activeModalWidget()) other->close();
        return;
      }
      opened = true;
      act(*dialog);
      if (dialog->isVisible()) dialog->reject();
    });
    m_frame->Dispatch(kExtractFromFiles);
    QVERIFY2(opened, "the dialog did not open");
  }

  std::unique_ptr<QTemporaryDir> m_dir;
  std::unique_ptr<CZofrinDoc> m_document;
  std::unique_ptr<CMainFrame> m_frame;
  CZofrinView* m_view = nullptr;
};

ZOFRIN_GUI_TEST_MAIN(ExtractDialogTest)
#include "extract_dialog_test.moc"
