// A soak of the desktop program: a few thousand random commands (add,
// modify, find, delete, crop, selections, extraction from the Clipboard
// and from files, the lists dialog with random list files, damaged ones
// included, save, open, new) driven through the program's own windows with
// scripted boxes and file dialogs. After every command the main list holds
// exactly the keys of the document's set, each once, and its count line
// says how many; a saved file holds the set; an opened file becomes the
// set. Memory does not grow beyond what the data needs.
//
// ZOFRIN_SOAK_SEED and ZOFRIN_SOAK_COMMANDS change the run.
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>

#include "address/validity.h"
#include "app/main_frame.h"
#include "app/zofrin_doc.h"
#include "app/zofrin_view.h"
#include "dialogs/extract_dlg.h"
#include "dialogs/lists_dlg.h"
#include "framework/clipboard.h"
#include "framework/document_controller.h"
#include "framework/text_codec.h"
#include "gui_test_support.h"
#include "reliability_gui_tests.h"
#include "reliability_support.h"
#include "resources/texts.h"

using namespace zofrin;
using namespace zofrin::commands;
using namespace zofrin::test;

namespace {

// The program's resident memory now, in KiB.
long ResidentKib() {
  long pages = 0, resident = 0;
  if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(statm);
  }
  return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

constexpr bool kSanitized =
#if defined(__SANITIZE_ADDRESS__)
    true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    true;
#else
    false;
#endif
#else
    false;
#endif

// The offscreen platform says for every window brought to the front that it
// cannot do that; thousands of such lines would bury the report.
QtMessageHandler g_previousHandler = nullptr;
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtWarningMsg && text.startsWith(QLatin1String("This plugin does not support"))) {
    return;
  }
  g_previousHandler(type, context, text);
}

struct QuietMessages {
  QuietMessages() { g_previousHandler = qInstallMessageHandler(QuietHandler); }
  ~QuietMessages() { qInstallMessageHandler(g_previousHandler); }
};

// Acts on the modal dialog a command opens, once it is shown. A dialog the
// action leaves open is cancelled, so that a run cannot hang.
class DialogDriver : public QObject {
 public:
  DialogDriver() {
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, [this] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr || !dialog->isVisible()) return;
      m_timer.stop();
      ++m_met;
      auto act = std::exchange(m_act, nullptr);
      if (act) act(dialog);
      if (dialog->isVisible()) dialog->reject();
    });
  }

  // Runs `command`, handing the dialog it opens (if any) to `act`.
  void Run(const std::function<void()>& command, std::function<void(QDialog*)> act) {
    m_act = std::move(act);
    m_timer.start();
    command();
    m_timer.stop();
    m_act = nullptr;
  }

  int Met() const { return m_met; }

 private:
  QTimer m_timer;
  std::function<void(QDialog*)> m_act;
  int m_met = 0;
};

}  // namespace

class SoakTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { UseScriptedUi(); }

  void cleanup() {
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QVERIFY(QApplication::overrideCursor() == nullptr);
  }

  void randomSession() {
    const unsigned seed = qEnvironmentVariableIsSet("ZOFRIN_SOAK_SEED")
                              ? qEnvironmentVariableIntValue("ZOFRIN_SOAK_SEED")
                              : 20240611u;
    const int commandCount = qEnvironmentVariableIsSet("ZOFRIN_SOAK_COMMANDS")
                                 ? qEnvironmentVariableIntValue("ZOFRIN_SOAK_COMMANDS")
                                 : 3000;
    m_random.seed(seed);
    const QuietMessages quiet;
    MakeFixtures();
    CZofrinDoc document;
    CMainFrame frame(&document);
    frame.show();
    frame.Controller()->OnFileNew();  // as the program starts
    m_document = &document;
    m_frame = &frame;
    m_view = frame.View();

    QElapsedTimer timer;
    timer.start();
    long settled = 0;
    std::map<QString, int> counts;
    for (int i = 0; i < commandCount; ++i) {
      if (i == commandCount / 5) settled = ResidentKib();
      m_command = RunRandomCommand();
      ++counts[m_command];
      CheckInvariant();
      if (QTest::currentTestFailed()) {
        qWarning("failed at command %d (%s) of seed %u", i, qPrintable(m_command), seed);
        return;
      }
    }
    const long grown = ResidentKib() - settled;
    QString summary;
    for (const auto& [name, count] : counts) {
      summary += QStringLiteral(" %1=%2").arg(name).arg(count);
    }
    qInfo("%d commands in %lld ms, %d dialogs, %d saves, %d opens; resident memory grew by %ld "
          "KiB after the first fifth;%s",
          commandCount, timer.elapsed(), m_driver.Met(), m_saves, m_opens, grown,
          qPrintable(summary));
    // Under AddressSanitizer freed memory waits in quarantine, and leaks are
    // its own to find.
    if (!kSanitized) {
      QVERIFY2(grown < 24 * 1024, qPrintable(QStringLiteral("grew by %1 KiB").arg(grown)));
    }
    m_frame = nullptr;
    m_view = nullptr;
    m_document = nullptr;
  }

 private:
  std::size_t Below(std::size_t bound) {
    return bound == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, bound - 1)(m_random);
  }
  bool Chance(int percent) { return static_cast<int>(Below(100)) < percent; }
  static void Fail(const QString& text) { QTest::qFail(qPrintable(text), __FILE__, __LINE__); }

  template <class T>
  const T& Pick(const std::vector<T>& items) {
    return items[Below(items.size())];
  }

  // Addresses that often meet again, some differing only in letter case;
  // texts the rule refuses; list files, a damaged one among them; text
  // files, with a missing one and a folder.
  void MakeFixtures() {
    m_dir = std::make_unique<TempDir>();
    for (int i = 0; i < 150; ++i) {
      std::string address = "user" + std::to_string(i) + "@host" + std::to_string(i % 7) + ".com";
      m_addresses.push_back(address);
      if (i % 10 == 0) {
        address[0] = 'U';
        m_addresses.push_back(address);
      }
    }
    m_invalid = {"", "plain text", "a@b", "two@@at.com", "x y@example.com", "user@example.test",
                 "caf\xE9@example.com"};
    for (int f = 0; f < 8; ++f) {
      AddressSet set;
      const std::size_t size = f == 0 ? 0 : Below(60);
      for (std::size_t k = 0; k < size; ++k) set.Store(Pick(m_addresses));
      const std::string path = m_dir->File("list" + std::to_string(f) + ".lse");
      WriteBytes(path, WriteListBytes(set));
      m_listFiles.push_back(path);
    }
    const std::string good = WriteListBytes(AddressSet());
    const std::string damaged = m_dir->File("damaged.lse");
    WriteBytes(damaged, std::string("\x05\x00\x0f" "ann@exa", 10));
    m_listFiles.push_back(damaged);
    const std::string empty = m_dir->File("empty.lse");
    WriteBytes(empty, "");
    m_listFiles.push_back(empty);
    for (int f = 0; f < 6; ++f) {
      const std::string path = m_dir->File("text" + std::to_string(f) + ".txt");
      WriteBytes(path, RandomText(40));
      m_textFiles.push_back(path);
    }
    m_textFiles.push_back(m_dir->File("missing.txt"));
    std::filesystem::create_directory(m_dir->File("folder.txt"));
    m_textFiles.push_back(m_dir->File("folder.txt"));
  }

  std::string RandomText(int words) {
    std::string text;
    const char* noise[] = {" ", ", ", "\r\n", "<a href=\"mailto:", "\">", " (", ") ", "; ", "\t"};
    for (int w = 0; w < words; ++w) {
      text += Chance(60) ? Pick(m_addresses) : Pick(m_invalid);
      text += noise[Below(std::size(noise))];
    }
    return text;
  }

  void SelectRandomly(SortedAddressList& list, int percent) {
    list.SetSelRange(false, 0, list.Count() == 0 ? 0 : list.Count() - 1);
    for (std::size_t i = 0; i < list.Count(); ++i) {
      if (Chance(percent)) list.SetSel(true, i);
    }
  }

  void Dispatch(Id id) {
    m_frame->UpdateCommandUI();
    m_frame->Dispatch(id);
  }

  // Types `text` into an address dialog and presses OK, or cancels it.
  std::function<void(QDialog*)> Type(const std::string& text, bool ok = true) {
    return [text, ok](QDialog* dialog) {
      if (!ok) return dialog->reject();
      dialog->findChild<QLineEdit*>(QStringLiteral("field"))->setText(QString::fromLatin1(text));
      dialog->accept();
    };
  }

  // A box the program must show (answered with `answer`) when it has to
  // confirm an address the rule refuses.
  void ExpectConfirmation(const std::string& text, QMessageBox::StandardButton answer) {
    if (!text.empty() && !IsValidAddress(text)) {
      MessageBoxes::QueueAnswer(answer);
      m_expected << FromProgramText(texts::kInvalidAddressConfirm);
    }
  }

  QString RunRandomCommand() {
    m_expected.clear();
    m_allowed.clear();
    const std::size_t choice = Below(100);
    if (choice < 16) {
      const std::string text = Chance(85) ? Pick(m_addresses) : Pick(m_invalid);
      const bool ok = Chance(95);
      const auto answer = Chance(50) ? QMessageBox::Yes : QMessageBox::No;
      if (ok) ExpectConfirmation(text, answer);
      const bool present = m_document->m_setAddresses.Contains(text);
      m_driver.Run([&] { Dispatch(kAdd); }, Type(text, ok));
      const bool taken =
          ok && !text.empty() && (IsValidAddress(text) || answer == QMessageBox::Yes);
      if (taken != m_document->m_setAddresses.Contains(text) && !present) {
        Fail("Add of '" + QString::fromLatin1(text) + "' was not carried out");
      }
      return "add";
    }
    if (choice < 22) {
      SelectRandomly(m_view->m_listMain, Chance(70) ? 0 : 30);
      if (m_view->m_listMain.Count() > 0 && Chance(80)) {
        m_view->m_listMain.SetSel(true, Below(m_view->m_listMain.Count()));
      }
      const std::string text = Chance(85) ? Pick(m_addresses) : Pick(m_invalid);
      // Enabled for a list that is not empty; it needs one selected item.
      if (m_view->m_listMain.SelectedCount() == 1) {
        ExpectConfirmation(text, Chance(50) ? QMessageBox::Yes : QMessageBox::No);
      } else if (m_view->m_listMain.Count() > 0) {
        m_expected << FromProgramText(texts::kSelectOneAddress);
      }
      m_driver.Run([&] { Dispatch(kModify); }, Type(text));
      return "modify";
    }
    if (choice < 26) {
      const std::string text = Chance(85) ? Pick(m_addresses) : Pick(m_invalid);
      if (!m_view->m_listMain.Empty() && !text.empty() && !IsValidAddress(text)) {
        MessageBoxes::QueueAnswer(QMessageBox::Ok);
        m_expected << FromProgramText(texts::kInvalidAddressNotice);
      }
      m_driver.Run([&] { Dispatch(kFind); }, Type(text));
      return "find";
    }
    if (choice < 36) {
      SelectRandomly(m_view->m_listMain, 20);
      Dispatch(kDelete);
      return "delete";
    }
    if (choice < 40) {
      SelectRandomly(m_view->m_listMain, 85);
      Dispatch(kCrop);
      return "crop";
    }
    if (choice < 48) {
      const Id ids[] = {kSelectAll, kUnselectAll, kInvertSelection};
      if (Chance(25)) {
        SelectRandomly(m_view->m_listMain, 40);
      } else {
        Dispatch(ids[Below(3)]);
      }
      return "select";
    }
    if (choice < 56) {
      PutClipboardText(RandomText(static_cast<int>(Below(30))));
      Dispatch(kExtractFromClipboard);
      return "extract from the Clipboard";
    }
    if (choice < 63) {
      m_driver.Run([&] { Dispatch(kExtractFromFiles); },
                   [this](QDialog* dialog) { DriveExtraction(static_cast<CExtractDlg*>(dialog)); });
      return "extract from files";
    }
    if (choice < 75) {
      m_driver.Run([&] { Dispatch(kListsOperations); },
                   [this](QDialog* dialog) { DriveLists(static_cast<CListsDlg*>(dialog)); });
      return "lists operations";
    }
    if (choice < 82) {
      Save();
      return "save";
    }
    if (choice < 94) {
      Open();
      return "open";
    }
    if (choice < 97) {
      AnswerSavePrompt();
      Dispatch(kFileNew);
      if (m_document->IsModified()) Fail("New left a modified list");
      return "new";
    }
    m_allowed << FromProgramText(texts::kGroupStart) << FromProgramText(texts::kGroupExhausted);
    Dispatch(Chance(50) ? kCopySelected : kCopyGroup);
    return "copy";
  }

  void DriveExtraction(CExtractDlg* dialog) {
    QStringList files;
    for (std::size_t n = Below(4); n > 0; --n) files << QString::fromStdString(Pick(m_textFiles));
    dialog->AddFiles(files);
    dialog->OnExtract();
    if (Chance(30)) {
      SelectRandomly(dialog->m_listAddresses, 30);
      dialog->OnRemoveAddresses();
    }
    if (Chance(10)) dialog->OnExtract();
    Chance(85) ? dialog->accept() : dialog->reject();
  }

  void DriveLists(CListsDlg* dialog) {
    m_allowed << FromProgramText(texts::kSplitNeedsOneItem);
    for (std::size_t step = Below(8); step > 0; --step) {
      const std::size_t action = Below(10);
      if (action < 3) {
        const std::string path = Pick(m_listFiles);
        if (path.ends_with("damaged.lse")) {
          m_allowed << QStringLiteral("An attempt was made to access %1 past its end.")
                           .arg(QString::fromStdString(path));
        }
        FileDialogs::QueueAnswer({QString::fromStdString(path)});
        action == 0 ? dialog->OnLoadList2() : dialog->OnLoadList1();
        FileDialogs::TakeRequests();
      } else if (action < 7) {
        void (CListsDlg::*operations[])() = {&CListsDlg::OnUnion, &CListsDlg::OnDifference,
                                             &CListsDlg::OnIntersection, &CListsDlg::OnSplit};
        if (Chance(50)) SelectRandomly(dialog->m_pane1.list, 10);
        (dialog->*operations[Below(4)])();
      } else if (action < 9) {
        void (CListsDlg::*shifts[])() = {&CListsDlg::OnShift1To2, &CListsDlg::OnShift1To3,
                                         &CListsDlg::OnShift2To1, &CListsDlg::OnShift2To3,
                                         &CListsDlg::OnShift3To1, &CListsDlg::OnShift3To2};
        (dialog->*shifts[Below(6)])();
      } else {
        SelectRandomly(dialog->m_pane3.list, 30);
        dialog->OnRemoveList3();
      }
      // Each pane shows exactly the keys of its set.
      for (const ListPane* pane : {&dialog->m_pane1, &dialog->m_pane2, &dialog->m_pane3}) {
        if (Texts(pane->list) != SortedKeys(pane->set)) {
          QFAIL("a pane of the lists dialog is out of step with its set");
        }
      }
    }
    Chance(85) ? dialog->accept() : dialog->reject();
  }

  // Answers a save prompt, if one comes, with No.
  void AnswerSavePrompt() {
    if (m_document->IsModified()) {
      MessageBoxes::QueueAnswer(QMessageBox::No);
      m_expected << QStringLiteral("Save changes to %1?").arg(m_document->Title());
    }
  }

  void Save() {
    const bool saveAs = m_document->PathName().isEmpty() || Chance(30);
    if (saveAs) {
      const std::string path = m_dir->File("saved" + std::to_string(Below(4)) + ".lse");
      FileDialogs::QueueAnswer({QString::fromStdString(path)});
      Dispatch(kFileSaveAs);
      FileDialogs::TakeRequests();
    } else {
      Dispatch(kFileSave);
    }
    ++m_saves;
    const std::string path = m_document->PathName().toStdString();
    if (m_document->IsModified()) QFAIL("a save left the list modified");
    if (ReadBytes(path) != WriteListBytes(m_document->m_setAddresses)) {
      QFAIL("the saved file does not hold the list");
    }
    if (std::find(m_listFiles.begin(), m_listFiles.end(), path) == m_listFiles.end()) {
      m_listFiles.push_back(path);
    }
  }

  void Open() {
    const std::string path = Pick(m_listFiles);
    const bool current = m_document->PathName().toStdString() == path;
    if (!current) AnswerSavePrompt();
    const bool damaged = path.ends_with("damaged.lse");
    if (damaged) m_expected << QStringLiteral("Unexpected file format.");
    FileDialogs::QueueAnswer({QString::fromStdString(path)});
    Dispatch(kFileOpen);
    FileDialogs::TakeRequests();
    ++m_opens;
    if (current) return;  // the current file only comes to the front
    AddressSet fromFile;
    if (!damaged) (void)ReadListFile(path, fromFile);
    if (SortedKeys(m_document->m_setAddresses) != SortedKeys(fromFile)) {
      QFAIL(qPrintable("opening " + QString::fromStdString(path) + " gave another list"));
    }
    if (m_document->IsModified()) QFAIL("an opened list is marked modified");
  }

  // The main list holds exactly the set's keys, each once; the count line
  // counts them; every box shown was one the command had to show.
  void CheckInvariant() {
    const QStringList shown = Texts(m_view->m_listMain);
    const QStringList keys = SortedKeys(m_document->m_setAddresses);
    if (shown != keys) {
      QFAIL(qPrintable(QStringLiteral("after %1 the main list holds %2 items, the set %3 keys")
                           .arg(m_command)
                           .arg(shown.size())
                           .arg(keys.size())));
    }
    const QString count = QStringLiteral("Number of addresses: %1").arg(keys.size());
    if (m_view->CountText() != count) QFAIL(qPrintable("count line: " + m_view->CountText()));
    QStringList boxes;
    for (const ShownBox& box : MessageBoxes::TakeShown()) {
      if (!m_allowed.contains(box.text)) boxes << box.text;
    }
    if (boxes != m_expected) {
      QFAIL(qPrintable(QStringLiteral("after %1: boxes [%2], expected [%3]")
                           .arg(m_command, boxes.join(" | "), m_expected.join(" | "))));
    }
    UseScriptedUi();  // no answer left over for the next command
  }

  std::mt19937 m_random;
  std::unique_ptr<TempDir> m_dir;
  std::vector<std::string> m_addresses;
  std::vector<std::string> m_invalid;
  std::vector<std::string> m_listFiles;
  std::vector<std::string> m_textFiles;
  DialogDriver m_driver;
  CZofrinDoc* m_document = nullptr;
  CMainFrame* m_frame = nullptr;
  CZofrinView* m_view = nullptr;
  QString m_command;
  QStringList m_expected;  // boxes the command must show, in order
  QStringList m_allowed;   // boxes it may show
  int m_saves = 0;
  int m_opens = 0;
};

int zofrin::test::RunSoakTest(int argc, char** argv) {
  SoakTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "soak_test.moc"
