// The view: the main list of the document's addresses with its count line,
// and every command that edits the list. The list shows exactly the keys of
// the document's address set, each once; every command changes both.
#pragma once

#include <QLabel>
#include <QString>
#include <QWidget>
#include <span>
#include <string>
#include <string_view>

#include "address/sorted_list.h"
#include "framework/list_pane.h"
#include "resources/commands.h"

namespace zofrin {

class CZofrinDoc;

class CZofrinView : public QWidget {
  Q_OBJECT

 public:
  CZofrinView(CZofrinDoc* document, QWidget* parent = nullptr);

  CZofrinDoc* GetDocument() const { return m_document; }

  // Rebuilds the main list from the document; run after every New and Open.
  void OnInitialUpdate();
  // The index of the item equal to `address` byte for byte, scrolled to the
  // top; npos when the document's set does not hold it.
  std::size_t FindAddress(std::string_view address);
  // "Number of addresses: N" from the main list's count.
  void RefreshCount();

  // Whether the command can run now, and running it.
  bool IsEnabled(commands::Id id) const;
  bool Handles(commands::Id id) const;
  void Execute(commands::Id id);

  void OnAdd();
  void OnModify();
  void OnFind();
  void OnCopySelected(bool commas);
  void OnGroupSize();
  void OnCopyGroup(bool commas);
  void OnExtractFromClipboard();
  void OnExtractFromFiles();
  void OnListsOperations();
  // The merge after a dialog's Transfer: marks the document modified even
  // when nothing came.
  void TransferIn(std::span<const std::string_view> addresses);
  void OnSelectAll();
  void OnUnselectAll();
  void OnInvertSelection();
  void OnDelete();
  void OnCrop();

  bool OnUpdateDelete() const;
  bool OnUpdateCrop() const;
  bool OnUpdateSelectAll() const;
  bool OnUpdateUnselectAll() const;
  bool OnUpdateInvertSelection() const;
  bool OnUpdateModify() const;
  bool OnUpdateFind() const;
  bool OnUpdateCopySelected() const;
  bool OnUpdateCopyGroup() const;
  bool OnUpdateExtractFromClipboard() const;

  // The size of the form in pixels: the view is exactly this large.
  QSize FormSize() const;
  CListPane* ListPane() const { return m_pane; }
  const QString& CountText() const { return m_strCount; }

  int m_nGroupSize = 50;
  SortedAddressList m_listMain;

 signals:
  // The list or its selection changed: enabling rules need evaluating.
  void stateChanged();
  // The context menu is asked for at a point on the screen.
  void contextMenuRequested(const QPoint& globalPos);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void ListChanged();
  // An empty text is dropped; an invalid one needs the user's confirmation.
  bool AcceptTyped(const std::string& text);
  // Merges addresses into the list and the set; answers whether any came.
  bool Merge(std::span<const std::string_view> addresses);
  void ComingSoon();
  QPoint KeyboardMenuPoint() const;

  CZofrinDoc* m_document;
  CListPane* m_pane;
  QLabel* m_count;
  QString m_strCount;
};

}  // namespace zofrin
