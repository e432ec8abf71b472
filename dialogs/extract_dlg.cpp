#include "dialogs/extract_dlg.h"

#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <functional>
#include <new>
#include <thread>

#include "address/file_extract.h"
#include "address/file_io.h"
#include "framework/busy_cursor.h"
#include "framework/dialog_units.h"
#include "framework/file_dialogs.h"
#include "framework/list_pane.h"
#include "framework/text_codec.h"
#include "resources/texts.h"

namespace zofrin {
namespace {

// Scans the files on a thread of its own, so the window keeps drawing and a
// Cancel is heard; the addresses are handed over once it has finished.
class ExtractionRun {
 public:
  explicit ExtractionRun(std::vector<std::string> paths) : m_paths(std::move(paths)) {
    for (const std::string& path : m_paths) {
      InputFile file;
      if (file.Open(path, true) == FileErrorCause::kNone) m_total += file.Size();
    }
  }

  // `done` is called on the scanning thread once everything is read.
  void Start(std::function<void()> done) {
    m_thread = std::thread([this, done = std::move(done)] {
      Run();
      done();
    });
  }
  void Wait() {
    if (m_thread.joinable()) m_thread.join();
  }
  ~ExtractionRun() {
    m_control.cancel = true;
    Wait();
  }

  void Cancel() { m_control.cancel = true; }
  bool Done() const { return m_done; }
  std::uint64_t Total() const { return m_total; }
  std::uint64_t BytesDone() const { return m_control.bytesDone; }
  std::size_t FileIndex() const { return m_control.fileIndex; }
  const std::vector<std::string>& Paths() const { return m_paths; }
  SortedBatch& Found() { return m_found; }

 private:
  void Run() {
    // A file that cannot be opened, or is no regular file, is skipped; a read
    // error or a Cancel ends a file, and what it gave so far stays.
    // Each file's addresses are sorted on the thread that scanned it; here
    // the sorted runs are merged as they come.
    try {
      ExtractFromFiles<FileSortedAddresses>(
          m_paths, std::max(1u, std::thread::hardware_concurrency()),
          [this](std::size_t, FileSortedAddresses& result) { m_found.AppendRun(result.found); },
          &m_control);
    } catch (const std::bad_alloc&) {
      // Out of memory: what was gathered before stands, as after a Cancel.
    }
    m_found.MergeRuns();
    m_done = true;
  }

  std::vector<std::string> m_paths;
  std::uint64_t m_total = 0;
  SortedBatch m_found;
  std::thread m_thread;
  ExtractControl m_control;
  std::atomic<bool> m_done{false};
};

QLabel* AddLabel(QWidget* parent, const QString& text, QRect rect) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(rect);
  label->setTextFormat(Qt::PlainText);
  return label;
}

QPushButton* AddButton(QWidget* parent, const DialogUnits& units, const char* text, int x, int y,
                       int width, const char* name) {
  auto* button = new QPushButton(FromProgramText(text), parent);
  button->setObjectName(QLatin1String(name));
  button->setGeometry(units.Rect(x, y, width, 14));
  // Enter presses the button that has the focus; elsewhere (in a list) it
  // presses Transfer, the default.
  button->setAutoDefault(true);
  return button;
}

}  // namespace

CExtractDlg::CExtractDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("extractDialog"));
  setWindowTitle(FromProgramText(texts::kExtractCaption));
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
  const DialogUnits units(font());
  setFixedSize(units.Size(351, 212));

  // Group boxes first, so that they lie under the controls they frame.
  (new QGroupBox(FromProgramText(texts::kFilesToProcess), this))
      ->setGeometry(units.Rect(6, 3, 139, 202));
  (new QGroupBox(FromProgramText(texts::kExtractedAddresses), this))
      ->setGeometry(units.Rect(204, 3, 140, 202));

  // The controls in tab order.
  QPushButton* transfer = AddButton(this, units, texts::kTransfer, 298, 188, 44, "transfer");
  transfer->setDefault(true);
  QPushButton* cancel = AddButton(this, units, texts::kCancel, 153, 86, 44, "cancel");
  QPushButton* select = AddButton(this, units, texts::kSelect, 9, 188, 44, "selectFiles");
  QPushButton* removeFiles = AddButton(this, units, texts::kRemove, 54, 188, 43, "removeFiles");
  QPushButton* removeAllFiles =
      AddButton(this, units, texts::kRemoveAll, 98, 188, 45, "removeAllFiles");
  QPushButton* removeAddresses =
      AddButton(this, units, texts::kRemove, 208, 188, 44, "removeAddresses");
  QPushButton* removeAllAddresses =
      AddButton(this, units, texts::kRemoveAll, 253, 188, 44, "removeAllAddresses");
  QPushButton* extract = AddButton(this, units, texts::kExtract, 153, 67, 44, "extract");
  m_paneFiles = new CListPane(&m_listFiles, this);
  m_paneFiles->setObjectName(QStringLiteral("files"));
  m_paneFiles->setAccessibleName(FromProgramText(texts::kFilesToProcess));
  m_paneFiles->setGeometry(units.Rect(10, 12, 130, 154));
  m_paneFiles->SetDecoder([](std::string_view path) { return PathToQString(path); });
  m_paneAddresses = new CListPane(&m_listAddresses, this);
  m_paneAddresses->setObjectName(QStringLiteral("addresses"));
  m_paneAddresses->setAccessibleName(FromProgramText(texts::kExtractedAddresses));
  m_paneAddresses->setGeometry(units.Rect(209, 12, 129, 154));
  QWidget* order[] = {transfer,        cancel,          select,
                      removeFiles,     removeAllFiles,  removeAddresses,
                      removeAllAddresses, extract,     m_paneFiles,
                      m_paneAddresses};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);

  m_fileCount = AddLabel(this, {}, units.Rect(10, 170, 129, 8));
  m_fileCount->setObjectName(QStringLiteral("fileCount"));
  AddLabel(this, QString(39, QLatin1Char('_')), units.Rect(7, 178, 137, 8));
  m_addressCount = AddLabel(this, {}, units.Rect(209, 170, 128, 8));
  m_addressCount->setObjectName(QStringLiteral("addressCount"));
  AddLabel(this, QString(39, QLatin1Char('_')), units.Rect(205, 178, 138, 8));

  connect(transfer, &QPushButton::clicked, this, &CExtractDlg::accept);
  connect(cancel, &QPushButton::clicked, this, &CExtractDlg::reject);
  connect(select, &QPushButton::clicked, this, &CExtractDlg::OnSelectFiles);
  connect(removeFiles, &QPushButton::clicked, this, &CExtractDlg::OnRemoveFiles);
  connect(removeAllFiles, &QPushButton::clicked, this, &CExtractDlg::OnRemoveAllFiles);
  connect(extract, &QPushButton::clicked, this, &CExtractDlg::OnExtract);
  connect(removeAddresses, &QPushButton::clicked, this, &CExtractDlg::OnRemoveAddresses);
  connect(removeAllAddresses, &QPushButton::clicked, this, &CExtractDlg::OnRemoveAllAddresses);
  OnInitDialog();
  transfer->setFocus();
}

CExtractDlg::~CExtractDlg() = default;

void CExtractDlg::OnInitDialog() {
  m_arrTransfer.Clear();
  m_listFiles.Reset();
  m_listAddresses.Reset();
  m_paneFiles->SetHorizontalExtent(1250);
  m_paneAddresses->SetHorizontalExtent(1250);
  m_strFileCount = FromProgramText(texts::kFileCountPrefix) + QLatin1Char('0');
  m_strAddressCount = FromProgramText(texts::kAddressCountPrefix) + QLatin1Char('0');
  UpdateData();
}

void CExtractDlg::UpdateData() {
  m_fileCount->setText(m_strFileCount);
  m_addressCount->setText(m_strAddressCount);
  m_paneFiles->Refresh();
  m_paneAddresses->Refresh();
}

void CExtractDlg::RefreshFileCount() {
  m_strFileCount = FromProgramText(texts::kFileCountPrefix) + QString::number(m_listFiles.Count());
  UpdateData();
}

void CExtractDlg::RefreshAddressCount() {
  m_strAddressCount =
      FromProgramText(texts::kAddressCountPrefix) + QString::number(m_listAddresses.Count());
  UpdateData();
}

void CExtractDlg::OnSelectFiles() {
  const QList<FileFilter> filters = {
      {FromProgramText(texts::kAllFilesType), QStringLiteral("*")},
      {FromProgramText(texts::kHtmlFilesType), QStringLiteral("*.html;*.htm")},
      {FromProgramText(texts::kTextFilesType), QStringLiteral("*.txt")},
  };
  const QStringList paths = FileDialogs::OpenFiles(this, FromProgramText(texts::kOpenTitle),
                                                   filters);
  if (!paths.isEmpty()) AddFiles(paths);
}

void CExtractDlg::AddFiles(const QStringList& paths) {
  std::vector<std::string> bytes;
  for (const QString& path : paths) bytes.push_back(PathFromQString(path));
  const std::vector<std::string_view> views(bytes.begin(), bytes.end());
  m_listFiles.InsertMany(views);
  RefreshFileCount();
}

void CExtractDlg::OnRemoveFiles() {
  m_listFiles.DeleteWhere(true, [](std::string_view) {});
  RefreshFileCount();
}

void CExtractDlg::OnRemoveAllFiles() {
  m_listFiles.Reset();
  RefreshFileCount();
}

void CExtractDlg::OnRemoveAddresses() {
  m_listAddresses.DeleteWhere(true, [](std::string_view) {});
  RefreshAddressCount();
}

void CExtractDlg::OnRemoveAllAddresses() {
  m_listAddresses.Reset();
  RefreshAddressCount();
}

void CExtractDlg::OnExtract() {
  if (m_listFiles.Empty()) return;
  BusyCursor busy;
  std::vector<std::string> paths;
  for (std::size_t i = 0; i < m_listFiles.Count(); ++i) paths.emplace_back(m_listFiles.Text(i));
  ExtractionRun run(std::move(paths));
  QEventLoop loop;
  run.Start([&loop] { QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection); });

  // For a short run the window only waits, taking no input; a longer one
  // shows its progress and can be cancelled.
  QTimer poll;
  poll.setInterval(30);
  poll.start();
  QTimer::singleShot(m_progressDelay, &loop, &QEventLoop::quit);
  if (!run.Done()) loop.exec(QEventLoop::ExcludeUserInputEvents);

  if (!run.Done()) {
    // Bytes in KiB, so that the bar's range fits.
    const int total = static_cast<int>(std::max<std::uint64_t>(run.Total() / 1024, 1));
    QProgressDialog progress(FromProgramText(texts::kExtractProgress),
                             FromProgramText(texts::kCancel), 0, total, this);
    progress.setObjectName(QStringLiteral("extractProgress"));
    progress.setWindowTitle(FromProgramText(texts::kExtractCaption));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    QObject::connect(&progress, &QProgressDialog::canceled, &loop, [&] { run.Cancel(); });
    QObject::connect(&poll, &QTimer::timeout, &progress, [&] {
      const std::size_t index = run.FileIndex();
      progress.setLabelText(
          FormatText(texts::kReadingFile, PathToQString(run.Paths()[index]),
                     QStringLiteral("%1 / %2 MB")
                         .arg(run.BytesDone() / 1048576.0, 0, 'f', 1)
                         .arg(run.Total() / 1048576.0, 0, 'f', 1)));
      progress.setValue(static_cast<int>(std::min<std::uint64_t>(run.BytesDone() / 1024, total)));
    });
    progress.show();
    if (!run.Done()) loop.exec();
  }
  run.Wait();
  m_listAddresses.InsertBatch(run.Found());
  RefreshAddressCount();
}

void CExtractDlg::accept() {
  m_arrTransfer.Clear();
  for (std::size_t i = 0; i < m_listAddresses.Count(); ++i) {
    m_arrTransfer.Add(m_listAddresses.Text(i));
  }
  QDialog::accept();
}

}  // namespace zofrin
