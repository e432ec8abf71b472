#include "dialogs/lists_dlg.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "framework/busy_cursor.h"
#include "framework/dialog_units.h"
#include "framework/file_dialogs.h"
#include "framework/list_pane.h"
#include "framework/message_box.h"
#include "framework/text_codec.h"
#include "resources/texts.h"

namespace zofrin {
namespace {

struct ButtonPlace {
  const char* text;
  int x, y, width;
  const char* name;
  void (CListsDlg::*handler)();
};

// In tab order.
const ButtonPlace kButtons[] = {
    {texts::kTransfer, 325, 190, 33, "transfer", nullptr},
    {texts::kCancel, 110, 125, 27, "cancel", nullptr},
    {texts::kLoad, 5, 190, 29, "load1", &CListsDlg::OnLoadList1},
    {texts::kRemove, 34, 190, 33, "remove1", &CListsDlg::OnRemoveList1},
    {texts::kRemoveAll, 67, 190, 39, "removeAll1", &CListsDlg::OnRemoveAllList1},
    {texts::kLoad, 141, 190, 31, "load2", &CListsDlg::OnLoadList2},
    {texts::kRemove, 172, 190, 34, "remove2", &CListsDlg::OnRemoveList2},
    {texts::kRemoveAll, 206, 190, 39, "removeAll2", &CListsDlg::OnRemoveAllList2},
    {texts::kRemove, 255, 190, 32, "remove3", &CListsDlg::OnRemoveList3},
    {texts::kRemoveAll, 287, 190, 38, "removeAll3", &CListsDlg::OnRemoveAllList3},
    {"List1>>List2", 9, 12, 48, "shift1To2", &CListsDlg::OnShift1To2},
    {"List1>>List3", 61, 12, 47, "shift1To3", &CListsDlg::OnShift1To3},
    {"List1<<List2", 141, 12, 52, "shift2To1", &CListsDlg::OnShift2To1},
    {"List2>>List3", 193, 12, 50, "shift2To3", &CListsDlg::OnShift2To3},
    {"List1<<List3", 254, 12, 49, "shift3To1", &CListsDlg::OnShift3To1},
    {"List2<<List3", 306, 12, 49, "shift3To2", &CListsDlg::OnShift3To2},
    {"+", 110, 57, 27, "union", &CListsDlg::OnUnion},
    {"-", 110, 74, 27, "difference", &CListsDlg::OnDifference},
    {"*", 110, 91, 27, "intersection", &CListsDlg::OnIntersection},
    {"/", 110, 108, 27, "split", &CListsDlg::OnSplit},
};

}  // namespace

CListsDlg::CListsDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("listsDialog"));
  setWindowTitle(FromProgramText(texts::kListsCaption));
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
  const DialogUnits units(font());
  setFixedSize(units.Size(364, 210));

  // Group boxes first, so that they lie under the controls they frame.
  (new QGroupBox(FromProgramText(texts::kShiftGroup), this))->setGeometry(units.Rect(3, 2, 357, 29));
  (new QGroupBox(FromProgramText(texts::kList1), this))->setGeometry(units.Rect(3, 31, 105, 176));
  (new QGroupBox(FromProgramText(texts::kList2), this))->setGeometry(units.Rect(139, 31, 108, 176));
  (new QGroupBox(FromProgramText(texts::kList3), this))->setGeometry(units.Rect(253, 31, 107, 176));

  QWidget* previous = nullptr;
  for (const ButtonPlace& rule : kButtons) {
    auto* button = new QPushButton(FromProgramText(rule.text), this);
    button->setObjectName(QLatin1String(rule.name));
    button->setGeometry(units.Rect(rule.x, rule.y, rule.width, 14));
    // Enter presses the button that has the focus; elsewhere (in a pane)
    // it presses Transfer, the default.
    button->setAutoDefault(true);
    if (rule.handler) {
      connect(button, &QPushButton::clicked, this, rule.handler);
    } else if (previous == nullptr) {
      button->setDefault(true);
      connect(button, &QPushButton::clicked, this, &CListsDlg::accept);
    } else {
      connect(button, &QPushButton::clicked, this, &CListsDlg::reject);
    }
    if (previous) setTabOrder(previous, button);
    previous = button;
  }

  const char* underscores[] = {"______________________________", "_______________________________",
                               "______________________________"};
  const QRect rules[] = {units.Rect(4, 179, 103, 8), units.Rect(140, 179, 106, 8),
                         units.Rect(254, 179, 105, 8)};
  const QRect counts[] = {units.Rect(6, 172, 98, 8), units.Rect(142, 172, 100, 8),
                          units.Rect(257, 172, 100, 8)};
  const QRect lists[] = {units.Rect(6, 41, 98, 128), units.Rect(143, 41, 100, 128),
                         units.Rect(257, 41, 99, 128)};
  const char* names[] = {texts::kList1, texts::kList2, texts::kList3};
  for (int i = 0; i < 3; ++i) {
    (new QLabel(QLatin1String(underscores[i]), this))->setGeometry(rules[i]);
    m_counts[i] = new QLabel(this);
    m_counts[i]->setObjectName(QStringLiteral("count%1").arg(i + 1));
    m_counts[i]->setGeometry(counts[i]);
    m_panes[i] = new CListPane(&Data(i + 1).list, this);
    m_panes[i]->setObjectName(QStringLiteral("list%1").arg(i + 1));
    m_panes[i]->setAccessibleName(FromProgramText(names[i]));
    m_panes[i]->setGeometry(lists[i]);
    m_panes[i]->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The lists come after every button in the tab order.
    setTabOrder(previous, m_panes[i]);
    previous = m_panes[i];
  }
  OnInitDialog();
  findChild<QPushButton*>(QStringLiteral("transfer"))->setFocus();
}

CListsDlg::~CListsDlg() = default;

ListPane& CListsDlg::Data(int pane) { return pane == 1 ? m_pane1 : pane == 2 ? m_pane2 : m_pane3; }

CListPane* CListsDlg::Pane(int pane) const { return m_panes[pane - 1]; }

void CListsDlg::OnInitDialog() {
  for (int i = 1; i <= 3; ++i) {
    Data(i).list.Reset();
    Pane(i)->SetHorizontalExtent(1250);
  }
  m_arrTransfer.Clear();
  m_strCount1 = m_strCount2 = m_strCount3 =
      FromProgramText(texts::kAddressCountPrefix) + QLatin1Char('0');
  UpdateData();
}

void CListsDlg::Refresh(int pane) {
  QString& count = pane == 1 ? m_strCount1 : pane == 2 ? m_strCount2 : m_strCount3;
  count = FromProgramText(texts::kAddressCountPrefix) + QString::number(Data(pane).list.Count());
}

void CListsDlg::UpdateData() {
  m_counts[0]->setText(m_strCount1);
  m_counts[1]->setText(m_strCount2);
  m_counts[2]->setText(m_strCount3);
  for (CListPane* pane : m_panes) pane->Refresh();
}

void CListsDlg::LoadInto(int pane, const QString& path) {
  BusyCursor busy;
  const ListFileError error = LoadPane(Data(pane), PathFromQString(path));
  if (error.kind == ListFileError::Kind::kOpen) return;  // silently, as before
  if (!error.Ok()) {
    // The pane stays as it was. A file that ends too early is named.
    QString message;
    if (error.kind == ListFileError::Kind::kEndOfData) {
      message = FormatText(FileErrorText(FileErrorCause::kEndOfFile, "%1").c_str(), path);
    } else {
      message = ListFileMessage(error, false);
    }
    MessageBoxes::Error(this, message);
    return;
  }
  Refresh(pane);
  UpdateData();
}

void CListsDlg::OnLoadList1() {
  const QString path = FileDialogs::OpenFile(
      this, FromProgramText(texts::kOpenTitle),
      QList<FileFilter>{{FromProgramText(texts::kListFilesType), QStringLiteral("*.lse")}});
  if (!path.isEmpty()) LoadInto(1, path);
}

void CListsDlg::OnLoadList2() {
  const QString path = FileDialogs::OpenFile(
      this, FromProgramText(texts::kOpenTitle),
      QList<FileFilter>{{FromProgramText(texts::kListFilesType), QStringLiteral("*.lse")}});
  if (!path.isEmpty()) LoadInto(2, path);
}

void CListsDlg::OnRemoveList1() { RemoveSelected(m_pane1), Refresh(1), UpdateData(); }
void CListsDlg::OnRemoveList2() { RemoveSelected(m_pane2), Refresh(2), UpdateData(); }
void CListsDlg::OnRemoveList3() { RemoveSelected(m_pane3), Refresh(3), UpdateData(); }
void CListsDlg::OnRemoveAllList1() { RemoveAll(m_pane1), Refresh(1), UpdateData(); }
void CListsDlg::OnRemoveAllList2() { RemoveAll(m_pane2), Refresh(2), UpdateData(); }
void CListsDlg::OnRemoveAllList3() { RemoveAll(m_pane3), Refresh(3), UpdateData(); }

void CListsDlg::Shift(int source, int target) {
  BusyCursor busy;
  if (!zofrin::Shift(Data(source), Data(target))) return;
  Refresh(source);
  Refresh(target);
  UpdateData();
}

void CListsDlg::OnShift1To2() { Shift(1, 2); }
void CListsDlg::OnShift1To3() { Shift(1, 3); }
void CListsDlg::OnShift2To1() { Shift(2, 1); }
void CListsDlg::OnShift2To3() { Shift(2, 3); }
void CListsDlg::OnShift3To1() { Shift(3, 1); }
void CListsDlg::OnShift3To2() { Shift(3, 2); }

void CListsDlg::OnUnion() {
  BusyCursor busy;
  Union(m_pane1, m_pane2, m_pane3);
  Refresh(3);
  UpdateData();
}

void CListsDlg::OnDifference() {
  BusyCursor busy;
  Difference(m_pane1, m_pane2, m_pane3);
  Refresh(3);
  UpdateData();
}

void CListsDlg::OnIntersection() {
  BusyCursor busy;
  Intersection(m_pane1, m_pane2, m_pane3);
  Refresh(3);
  UpdateData();
}

void CListsDlg::OnSplit() {
  SplitResult result;
  {
    BusyCursor busy;
    result = Split(m_pane1, m_pane2, m_pane3);
  }
  if (result == SplitResult::kNeedOneSelected) {
    MessageBoxes::Information(this, FromProgramText(texts::kSplitNeedsOneItem));
    return;
  }
  if (result != SplitResult::kDone) return;
  Refresh(2);
  Refresh(3);
  UpdateData();
}

void CListsDlg::accept() {
  m_arrTransfer.Clear();
  for (std::size_t i = 0; i < m_pane3.list.Count(); ++i) m_arrTransfer.Add(m_pane3.list.Text(i));
  QDialog::accept();
}

}  // namespace zofrin
