// "Operations with lists...": three panes, each a sorted list with its
// address set. Lists are loaded from files into List 1 and List 2, pruned,
// moved between panes, combined into List 3 by "+", "-", "*" and "/", and
// List 3 is handed to the main list by Transfer.
#pragma once

#include <QDialog>
#include <QString>

#include "address/list_ops.h"
#include "address/string_array.h"

class QLabel;

namespace zofrin {

class CListPane;

class CListsDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CListsDlg(QWidget* parent);
  ~CListsDlg() override;

  // Filled by Transfer with List 3's addresses in list order.
  StringArray m_arrTransfer;
  ListPane m_pane1, m_pane2, m_pane3;
  QString m_strCount1, m_strCount2, m_strCount3;

  void OnLoadList1();
  void OnLoadList2();
  void OnRemoveList1();
  void OnRemoveList2();
  void OnRemoveList3();
  void OnRemoveAllList1();
  void OnRemoveAllList2();
  void OnRemoveAllList3();
  void OnShift1To2();
  void OnShift1To3();
  void OnShift2To1();
  void OnShift2To3();
  void OnShift3To1();
  void OnShift3To2();
  void OnUnion();
  void OnDifference();
  void OnIntersection();
  void OnSplit();
  // Transfer.
  void accept() override;

  // Loads `path` into pane 1 or 2 as Load does after its file dialog.
  void LoadInto(int pane, const QString& path);
  CListPane* Pane(int pane) const;

 private:
  void OnInitDialog();
  ListPane& Data(int pane);
  void Refresh(int pane);
  void UpdateData();
  void Shift(int source, int target);

  CListPane* m_panes[3];
  QLabel* m_counts[3];
};

}  // namespace zofrin
