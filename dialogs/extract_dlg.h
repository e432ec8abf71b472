// "Extracting Email addresses from files...": the user gathers files, scans
// them for addresses into a review list, prunes it and transfers it. Nothing
// reaches the document before Transfer.
#pragma once

#include <QDialog>
#include <QString>
#include <string>
#include <vector>

#include "address/sorted_list.h"
#include "address/string_array.h"

class QLabel;
class QPushButton;

namespace zofrin {

class CListPane;

class CExtractDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CExtractDlg(QWidget* parent);
  ~CExtractDlg() override;

  // Filled by Transfer with every address of the review list, top to bottom.
  StringArray m_arrTransfer;
  SortedAddressList m_listAddresses;
  SortedAddressList m_listFiles;  // full paths, as file-system bytes
  QString m_strFileCount;
  QString m_strAddressCount;

  void OnSelectFiles();
  void OnRemoveFiles();
  void OnRemoveAllFiles();
  void OnExtract();
  void OnRemoveAddresses();
  void OnRemoveAllAddresses();
  // Transfer.
  void accept() override;

  // Adds paths to the file list as Select does.
  void AddFiles(const QStringList& paths);
  CListPane* FilesPane() const { return m_paneFiles; }
  CListPane* AddressesPane() const { return m_paneAddresses; }
  // How long extraction may run before its progress is shown, in ms.
  void SetProgressDelay(int milliseconds) { m_progressDelay = milliseconds; }

 private:
  void OnInitDialog();
  void RefreshFileCount();
  void RefreshAddressCount();
  void UpdateData();

  CListPane* m_paneFiles;
  CListPane* m_paneAddresses;
  QLabel* m_fileCount;
  QLabel* m_addressCount;
  int m_progressDelay = 500;
};

}  // namespace zofrin
