#include "app/zofrin_view.h"

#include <QContextMenuEvent>
#include <QKeyEvent>

#include "address/export.h"
#include "address/list_ops.h"
#include "address/scanner.h"
#include "address/validity.h"
#include "app/address_dialogs.h"
#include "framework/clipboard.h"
#include "app/zofrin_doc.h"
#include "dialogs/extract_dlg.h"
#include "dialogs/lists_dlg.h"
#include "framework/dialog_units.h"
#include "framework/message_box.h"
#include "framework/text_codec.h"
#include "resources/texts.h"

namespace zofrin {
namespace {

// The form, in dialog units.
constexpr int kFormWidth = 305, kFormHeight = 152;

}  // namespace

CZofrinView::CZofrinView(CZofrinDoc* document, QWidget* parent)
    : QWidget(parent), m_document(document) {
  const DialogUnits units(font());
  m_pane = new CListPane(&m_listMain, this);
  m_pane->setObjectName(QStringLiteral("mainList"));
  m_pane->setAccessibleName(QStringLiteral("Addresses"));
  m_pane->setWhatsThis(FromProgramText(texts::kMainListHelp));
  m_pane->setGeometry(units.Rect(0, 0, 305, 136));
  m_pane->installEventFilter(this);
  m_count = new QLabel(this);
  m_count->setObjectName(QStringLiteral("countLine"));
  m_count->setGeometry(units.Rect(9, 140, 132, 8));
  m_count->setText(FromProgramText(texts::kAddressCountPrefix) + QLatin1Char('0'));
  setFixedSize(FormSize());
  connect(m_pane, &CListPane::selectionChanged, this, &CZofrinView::stateChanged);
}

QSize CZofrinView::FormSize() const {
  return DialogUnits(font()).Size(kFormWidth, kFormHeight);
}

void CZofrinView::OnInitialUpdate() {
  RebuildList(m_listMain, m_document->m_setAddresses);
  m_nGroupSize = 50;
  m_pane->Refresh();
  RefreshCount();
  emit stateChanged();
}

void CZofrinView::RefreshCount() {
  m_strCount = FromProgramText(texts::kAddressCountPrefix) + QString::number(m_listMain.Count());
  m_count->setText(m_strCount);
}

void CZofrinView::ListChanged() {
  m_pane->Refresh();
  RefreshCount();
  emit stateChanged();
}

std::size_t CZofrinView::FindAddress(std::string_view address) {
  if (!m_document->m_setAddresses.Contains(address)) return SortedAddressList::npos;
  const std::size_t index = m_listMain.FindByteExact(address);
  if (index != SortedAddressList::npos) {
    m_listMain.ScrollTo(index);
    m_pane->Refresh();
  }
  return index;
}

bool CZofrinView::OnUpdateDelete() const { return m_listMain.SelectedCount() > 0; }
bool CZofrinView::OnUpdateCrop() const { return m_listMain.SelectedCount() < m_listMain.Count(); }
bool CZofrinView::OnUpdateSelectAll() const { return OnUpdateCrop(); }
bool CZofrinView::OnUpdateUnselectAll() const { return OnUpdateDelete(); }
bool CZofrinView::OnUpdateInvertSelection() const { return !m_listMain.Empty(); }
bool CZofrinView::OnUpdateModify() const { return !m_listMain.Empty(); }
bool CZofrinView::OnUpdateFind() const { return !m_listMain.Empty(); }
bool CZofrinView::OnUpdateCopySelected() const { return m_listMain.SelectedCount() > 0; }
bool CZofrinView::OnUpdateCopyGroup() const { return !m_listMain.Empty(); }
bool CZofrinView::OnUpdateExtractFromClipboard() const { return ClipboardHasText(); }

bool CZofrinView::Merge(std::span<const std::string_view> addresses) {
  if (addresses.empty()) return false;
  MergeAddresses(m_listMain, m_document->m_setAddresses, addresses);
  return true;
}

bool CZofrinView::AcceptTyped(const std::string& text) {
  if (text.empty()) return false;
  // An address the rule rejects is taken only when the user insists.
  return IsValidAddress(text) ||
         MessageBoxes::Confirmation(this, FromProgramText(texts::kInvalidAddressConfirm)) ==
             QMessageBox::Yes;
}

void CZofrinView::OnAdd() {
  CAddAddressDlg dialog(window());
  if (dialog.exec() != QDialog::Accepted) return;
  const std::string text = dialog.m_strAddress;
  if (!AcceptTyped(text)) return;
  const std::string_view address = text;
  Merge({&address, 1});
  m_document->SetModifiedFlag();
  ListChanged();
}

void CZofrinView::OnModify() {
  if (m_listMain.SelectedCount() != 1) {
    MessageBoxes::Information(this, FromProgramText(texts::kSelectOneAddress));
    return;
  }
  const std::size_t index = m_listMain.CurrentItem();
  const std::string old(m_listMain.Text(index));
  CModifyAddressDlg dialog(window());
  dialog.m_strAddress = old;
  if (dialog.exec() != QDialog::Accepted) return;
  const std::string text = dialog.m_strAddress;
  if (!AcceptTyped(text)) return;
  m_listMain.Delete(index);
  m_document->m_setAddresses.Remove(old);
  // An item that already holds the new text is taken out and inserted again.
  const std::string_view address = text;
  Merge({&address, 1});
  m_document->SetModifiedFlag();
  ListChanged();
}

void CZofrinView::OnFind() {
  CFindAddressDlg dialog(window());
  if (dialog.exec() != QDialog::Accepted) return;
  const std::string text = dialog.m_strAddress;
  if (text.empty()) return;
  if (!IsValidAddress(text)) {
    MessageBoxes::Confirmation(this, FromProgramText(texts::kInvalidAddressNotice),
                               QMessageBox::Ok);
    return;
  }
  const std::size_t index = FindAddress(text);
  if (index == SortedAddressList::npos) return;
  m_listMain.ScrollTo(index);
  m_listMain.SetSel(true, index);
  m_pane->Refresh();
  emit stateChanged();
}

void CZofrinView::OnCopySelected(bool commas) {
  if (m_listMain.SelectedCount() == 0) return;
  PutClipboardText(SelectedText(m_listMain, commas));
}

void CZofrinView::OnGroupSize() {
  CGroupSizeDlg dialog(window());
  dialog.m_nGroupSize = m_nGroupSize;
  if (dialog.exec() == QDialog::Accepted) m_nGroupSize = dialog.m_nGroupSize;
}

void CZofrinView::OnCopyGroup(bool commas) {
  Group group;
  if (!NextGroup(m_listMain, static_cast<std::size_t>(m_nGroupSize), group)) {
    MessageBoxes::Information(this, FromProgramText(texts::kGroupStart));
    return;
  }
  PutClipboardText(RangeText(m_listMain, group.first, group.last, commas));
  // The selection marks where the next group starts.
  m_listMain.SetSelRange(false, 0, m_listMain.Count() - 1);
  const bool exhausted = group.IsLast(m_listMain);
  if (!exhausted) {
    m_listMain.ScrollTo(group.last + 1);
    m_listMain.SetSel(true, group.last + 1);
  } else {
    m_listMain.ScrollTo(m_listMain.Count() - 1);
  }
  m_pane->Refresh();
  emit stateChanged();
  if (exhausted) MessageBoxes::Information(this, FromProgramText(texts::kGroupExhausted));
}

void CZofrinView::TransferIn(std::span<const std::string_view> addresses) {
  Merge(addresses);
  m_document->SetModifiedFlag();
  ListChanged();
}

void CZofrinView::OnExtractFromFiles() {
  CExtractDlg dialog(window());
  if (dialog.exec() != QDialog::Accepted) return;
  TransferIn(dialog.m_arrTransfer.Views());
}

void CZofrinView::OnListsOperations() {
  CListsDlg dialog(window());
  if (dialog.exec() != QDialog::Accepted) return;
  TransferIn(dialog.m_arrTransfer.Views());
}

void CZofrinView::OnExtractFromClipboard() {
  const std::optional<std::string> text = GetClipboardText();
  if (!text) return;
  std::vector<std::string_view> found;
  ForEachAddress(*text, [&](std::string_view address) { found.push_back(address); });
  if (!Merge(found)) return;
  m_document->SetModifiedFlag();
  ListChanged();
}

void CZofrinView::OnSelectAll() {
  if (m_listMain.Empty()) return;
  m_listMain.SetSelRange(true, 0, m_listMain.Count() - 1);
  m_pane->Refresh();
  emit stateChanged();
}

void CZofrinView::OnUnselectAll() {
  if (m_listMain.Empty()) return;
  m_listMain.SetSelRange(false, 0, m_listMain.Count() - 1);
  m_pane->Refresh();
  emit stateChanged();
}

void CZofrinView::OnInvertSelection() {
  m_listMain.InvertSelection();
  m_pane->Refresh();
  emit stateChanged();
}

void CZofrinView::OnDelete() {
  if (DeleteSelected(m_listMain, m_document->m_setAddresses) > 0) {
    m_document->SetModifiedFlag();
    ListChanged();
  }
}

void CZofrinView::OnCrop() {
  if (CropSelected(m_listMain, m_document->m_setAddresses) > 0) {
    m_document->SetModifiedFlag();
    ListChanged();
  }
}

bool CZofrinView::Handles(commands::Id id) const {
  using namespace commands;
  switch (id) {
    case kAdd: case kModify: case kDelete: case kCrop: case kSelectAll: case kUnselectAll:
    case kInvertSelection: case kFind: case kExtractFromFiles: case kCopySelected:
    case kCopySelectedCommas: case kGroupSize: case kCopyGroup: case kCopyGroupCommas:
    case kListsOperations: case kExtractFromClipboard:
      return true;
    default:
      return false;
  }
}

bool CZofrinView::IsEnabled(commands::Id id) const {
  using namespace commands;
  switch (id) {
    case kDelete: return OnUpdateDelete();
    case kCrop: return OnUpdateCrop();
    case kSelectAll: return OnUpdateSelectAll();
    case kUnselectAll: return OnUpdateUnselectAll();
    case kInvertSelection: return OnUpdateInvertSelection();
    case kModify: return OnUpdateModify();
    case kFind: return OnUpdateFind();
    case kCopyGroup:
    case kCopyGroupCommas: return OnUpdateCopyGroup();
    case kCopySelected:
    case kCopySelectedCommas: return OnUpdateCopySelected();
    case kExtractFromClipboard: return OnUpdateExtractFromClipboard();
    default: return true;
  }
}

void CZofrinView::Execute(commands::Id id) {
  if (!IsEnabled(id)) return;
  using namespace commands;
  switch (id) {
    case kDelete: OnDelete(); break;
    case kCrop: OnCrop(); break;
    case kSelectAll: OnSelectAll(); break;
    case kUnselectAll: OnUnselectAll(); break;
    case kInvertSelection: OnInvertSelection(); break;
    case kAdd: OnAdd(); break;
    case kModify: OnModify(); break;
    case kFind: OnFind(); break;
    case kCopySelected: OnCopySelected(false); break;
    case kCopySelectedCommas: OnCopySelected(true); break;
    case kGroupSize: OnGroupSize(); break;
    case kCopyGroup: OnCopyGroup(false); break;
    case kCopyGroupCommas: OnCopyGroup(true); break;
    case kExtractFromClipboard: OnExtractFromClipboard(); break;
    case kExtractFromFiles: OnExtractFromFiles(); break;
    case kListsOperations: OnListsOperations(); break;
    default: break;
  }
}

void CZofrinView::ComingSoon() {
  MessageBoxes::Information(this, FromProgramText(texts::kComingSoon));
}

QPoint CZofrinView::KeyboardMenuPoint() const { return mapToGlobal(QPoint(5, 5)); }

bool CZofrinView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_pane) {
    if (event->type() == QEvent::KeyPress) {
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_F10 && (key->modifiers() & Qt::ShiftModifier)) {
        emit contextMenuRequested(KeyboardMenuPoint());
        return true;
      }
    } else if (event->type() == QEvent::ContextMenu) {
      contextMenuEvent(static_cast<QContextMenuEvent*>(event));
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void CZofrinView::contextMenuEvent(QContextMenuEvent* event) {
  emit contextMenuRequested(event->reason() == QContextMenuEvent::Mouse ? event->globalPos()
                                                                         : KeyboardMenuPoint());
  event->accept();
}

}  // namespace zofrin
