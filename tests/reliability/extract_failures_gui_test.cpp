// The extraction dialog on files that fail it: what is no regular file (a
// FIFO with or without a writer, devices, a folder), files that became
// unreadable after they were chosen, and a file far larger than memory.
// Nothing hangs, each such file is skipped without a message, the others
// are scanned, and the large file is streamed.
#include <sys/resource.h>

#include <QElapsedTimer>
#include <QTest>
#include <memory>

#include "dialogs/extract_dlg.h"
#include "extract_fixtures.h"
#include "gui_test_support.h"
#include "reliability_gui_tests.h"

using namespace zofrin;
using namespace zofrin::test;

namespace {

QStringList Paths(const std::vector<std::string>& paths) {
  QStringList list;
  for (const std::string& path : paths) list << QString::fromStdString(path);
  return list;
}

long PeakRssKib() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

class ExtractFailuresGuiTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { UseScriptedUi(); }

  void cleanup() {
    const auto shown = MessageBoxes::TakeShown();
    QVERIFY2(shown.empty(), shown.empty() ? "" : qPrintable(shown.front().text));
    QVERIFY(QApplication::activeModalWidget() == nullptr);
  }

  void noRegularFileIsSkippedWithoutWaiting() {
    TempDir dir;
    const UnusualFiles files(dir);
    std::vector<std::string> chosen = {files.first};
    for (const auto& [path, message] : files.unusual) chosen.push_back(path);
    chosen.push_back(files.last);
    CExtractDlg dialog(nullptr);
    dialog.AddFiles(Paths(chosen));
    dialog.OnExtract();
    QCOMPARE(Texts(dialog.m_listAddresses),
             QStringList({"first@example.com", "last@example.com"}));
  }

  void filesSpoiledAfterTheyWereChosen() {
    TempDir dir;
    UnreadableFiles files(dir);
    std::vector<std::string> chosen = {files.first};
    chosen.insert(chosen.end(), files.chosen.begin(), files.chosen.end());
    chosen.push_back(files.last);
    CExtractDlg dialog(nullptr);
    dialog.AddFiles(Paths(chosen));
    files.Spoil();
    dialog.OnExtract();
    QCOMPARE(Texts(dialog.m_listAddresses),
             QStringList({"first@example.com", "last@example.com"}));
    QCOMPARE(dialog.m_listFiles.Count(), chosen.size());
  }

  // 32 GiB, more than the machine's memory: every address is found, and
  // the program's memory hardly grows.
  void fileLargerThanMemory() {
    TempDir dir;
    const HugeSparseFile huge(dir);
    if (huge.path.empty()) QSKIP(huge.whyNot.c_str());
    CExtractDlg dialog(nullptr);
    dialog.AddFiles({QString::fromStdString(huge.path)});
    const long peakBefore = PeakRssKib();
    QElapsedTimer timer;
    timer.start();
    dialog.OnExtract();
    const qint64 elapsed = timer.elapsed();
    QStringList expected;
    for (const std::string& address : HugeSparseFile::kAddresses) {
      expected << QString::fromStdString(address);
    }
    std::sort(expected.begin(), expected.end());
    QCOMPARE(Texts(dialog.m_listAddresses), expected);
    const long grown = PeakRssKib() - peakBefore;
    QVERIFY2(grown < 64 * 1024, qPrintable(QStringLiteral("peak grew by %1 KiB").arg(grown)));
    qInfo("%llu GiB extracted in %lld ms; peak memory grew by %ld KiB",
          static_cast<unsigned long long>(HugeSparseFile::kSize >> 30), elapsed, grown);
  }
};

int zofrin::test::RunExtractFailuresGuiTest(int argc, char** argv) {
  ExtractFailuresGuiTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "extract_failures_gui_test.moc"
