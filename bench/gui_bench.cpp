// The desktop program at scale, on the offscreen platform: opening, selecting,
// deleting, cropping and saving a list of 1,000,000 addresses; extraction from
// the Clipboard and Transfer into it; the lists dialog's operations on two
// lists of 1,000,000; and the extraction dialog over a folder of files,
// against zofrin-cli extract over the same files.
//
// Usage: gui_bench ZOFRIN_CLI [CORPUS_FOLDER [--extraction-only]]
// Each figure is printed with its peer, measured in the same run: `sort -u`
// over the same addresses as text for the list operations, zofrin-cli for the
// extraction dialog.
#include <sys/resource.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "address/list_file.h"
#include "app/main_frame.h"
#include "app/zofrin_doc.h"
#include "app/zofrin_view.h"
#include "bench/address_gen.h"
#include "dialogs/extract_dlg.h"
#include "dialogs/lists_dlg.h"
#include "framework/clipboard.h"
#include "framework/document_controller.h"
#include "framework/file_dialogs.h"
#include "framework/list_pane.h"
#include "framework/message_box.h"

using namespace zofrin;

namespace {

double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  QApplication::processEvents();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double PeakMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
}

double Shell(const std::string& command) {
  return Seconds([&] {
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", command.c_str());
  });
}

void Row(const char* what, double seconds, double peer, const char* peerName) {
  std::printf("%-44s %8.3f s   %5.2fx %s (%.3f s)\n", what, seconds, seconds / peer, peerName,
              peer);
  std::fflush(stdout);
}

void WriteLines(const std::string& path, const bench::PackedTexts& texts) {
  std::ofstream out(path, std::ios::binary);
  for (std::size_t i = 0; i < texts.Size(); ++i) out << texts[i] << '\n';
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Extract in the dialog, from pressing the button to the list shown, against
// zofrin-cli extract over the same files; medians of several runs taken in
// turn, so that both meet the machine in the same state.
void BenchExtraction(const std::string& cli, const QString& folder, CMainFrame& frame) {
  const QDir corpus(folder);
  QStringList files;
  std::string arguments;
  std::uint64_t bytes = 0;
  for (const QFileInfo& info : corpus.entryInfoList(QDir::Files, QDir::Name)) {
    files << info.absoluteFilePath();
    arguments += " '" + info.absoluteFilePath().toStdString() + "'";
    bytes += info.size();
  }
  CExtractDlg extract(&frame);
  extract.AddFiles(files);
  std::vector<double> peer, dialog;
  for (int run = 0; run < 11; ++run) {
    peer.push_back(Shell(cli + " extract" + arguments + " > /dev/null"));
    extract.OnRemoveAllAddresses();
    dialog.push_back(Seconds([&] { extract.OnExtract(); }));
  }
  std::printf("\nextraction over %d files, %.0f MiB, %zu addresses listed (medians of %zu runs)\n",
              static_cast<int>(files.size()), bytes / 1048576.0,
              extract.m_listAddresses.Count(), dialog.size());
  Row("extraction dialog: Extract to the list shown", Median(dialog), Median(peer),
      "zofrin-cli extract");
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("ZOFRIN_NO_REGISTER", "1");
  QApplication application(argc, argv);
  QString corpusFolder;
  bool extractionOnly = false;
  std::string cli;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--extraction-only") {
      extractionOnly = true;
    } else if (cli.empty()) {
      cli = argument;
    } else {
      corpusFolder = QString::fromLocal8Bit(argv[i]);
    }
  }
  if (cli.empty() || (extractionOnly && corpusFolder.isEmpty())) {
    std::fprintf(stderr, "usage: gui_bench ZOFRIN_CLI [CORPUS_FOLDER [--extraction-only]]\n");
    return 2;
  }
  MessageBoxes::SetScripted(true);
  FileDialogs::SetScripted(true);
  if (extractionOnly) {
    CZofrinDoc document;
    CMainFrame frame(&document);
    frame.show();
    BenchExtraction(cli, corpusFolder, frame);
    return 0;
  }
  QTemporaryDir dir;
  const std::string folder = dir.path().toStdString();

  constexpr std::size_t kCount = 1000000;
  const bench::ListPair pair = bench::MakeListPair(kCount);
  AddressSet first, second;
  for (std::size_t i = 0; i < kCount; ++i) first.Store(pair.first[i]);
  for (std::size_t i = 0; i < pair.second.Size(); ++i) second.Store(pair.second[i]);
  const std::string list1 = folder + "/first.lse", list2 = folder + "/second.lse";
  WriteListFile(list1, first);
  WriteListFile(list2, second);
  WriteLines(folder + "/first.txt", pair.first);
  WriteLines(folder + "/second.txt", pair.second);
  const double sortOne = Shell("LC_ALL=C sort -u " + folder + "/first.txt > /dev/null");
  const double sortTwo = Shell("LC_ALL=C sort -u " + folder + "/first.txt " + folder +
                               "/second.txt > /dev/null");
  std::printf("peer: LC_ALL=C sort -u of 1M addresses %.3f s, of 1M + 1M %.3f s\n\n", sortOne,
              sortTwo);

  CZofrinDoc document;
  CMainFrame frame(&document);
  frame.show();
  CZofrinView* view = frame.View();
  DocumentController* controller = frame.Controller();
  const QString path1 = QString::fromStdString(list1);

  const double open = Seconds([&] { controller->OpenDocumentFile(path1, false); });
  Row("open a list of 1M (to the list shown)", open, sortOne, "sort -u");
  std::printf("%-44s %8.0f MiB\n", "  peak memory after opening", PeakMiB());
  Row("Select all", Seconds([&] { view->OnSelectAll(); }), sortOne, "sort -u");
  Row("Invert selection", Seconds([&] { view->OnInvertSelection(); }), sortOne, "sort -u");
  for (std::size_t i = 0; i < view->m_listMain.Count(); i += 2) view->m_listMain.SetSel(true, i);
  Row("Delete every other item", Seconds([&] { view->OnDelete(); }), sortOne, "sort -u");
  for (std::size_t i = 0; i < view->m_listMain.Count(); i += 2) view->m_listMain.SetSel(true, i);
  Row("Crop to every other item", Seconds([&] { view->OnCrop(); }), sortOne, "sort -u");

  controller->OpenDocumentFile(QString::fromStdString(list2), false);
  FileDialogs::QueueAnswer({QString::fromStdString(folder + "/saved.lse")});
  Row("Save As, 1M", Seconds([&] { controller->OnFileSaveAs(); }), sortOne, "sort -u");

  // One million new addresses, one per line, from the Clipboard.
  std::string text;
  for (std::size_t i = 0; i < pair.fresh.Size(); ++i) {
    text += pair.fresh[i];
    text += '\n';
  }
  controller->OpenDocumentFile(path1, false);
  PutClipboardText(text);
  Row("Extract 1M from the Clipboard into 1M", Seconds([&] { view->OnExtractFromClipboard(); }),
      sortTwo, "sort -u");

  controller->OpenDocumentFile(path1, false);
  const std::vector<std::string_view> fresh = pair.fresh.Views();
  Row("Transfer 1M into 1M", Seconds([&] { view->TransferIn(fresh); }), sortTwo, "sort -u");

  {
    CListsDlg lists(&frame);
    Row("lists: Load 1M into List 1",
        Seconds([&] { lists.LoadInto(1, path1); }), sortOne, "sort -u");
    lists.LoadInto(2, QString::fromStdString(list2));
    Row("lists: + of 1M and 1M", Seconds([&] { lists.OnUnion(); }), sortTwo, "sort -u");
    Row("lists: - of 1M and 1M", Seconds([&] { lists.OnDifference(); }), sortTwo, "sort -u");
    Row("lists: * of 1M and 1M", Seconds([&] { lists.OnIntersection(); }), sortTwo, "sort -u");
    lists.m_pane1.list.SetSel(true, lists.m_pane1.list.Count() / 2);
    Row("lists: / of 1M in the middle", Seconds([&] { lists.OnSplit(); }), sortOne, "sort -u");
    Row("lists: List2>>List3 (500,000)", Seconds([&] { lists.OnShift2To3(); }), sortOne,
        "sort -u");
    lists.OnUnion();
    controller->OpenDocumentFile(path1, false);
    Row("lists: Transfer of List 3 into 1M", Seconds([&] {
          lists.accept();
          view->TransferIn(lists.m_arrTransfer.Views());
        }),
        sortTwo, "sort -u");
  }

  if (!corpusFolder.isEmpty()) BenchExtraction(cli, corpusFolder, frame);
  return 0;
}
