// The application: builds the document, the main window and the view,
// registers the list file type with the desktop, reads the recent files and
// carries out the command line.
#pragma once

#include <QStringList>
#include <memory>

namespace zofrin {

class CMainFrame;
class CZofrinDoc;

class CZofrinApp {
 public:
  CZofrinApp();
  ~CZofrinApp();

  // Carries out the command line (the arguments after the program's name).
  // Answers false when the program must end at once; ExitCode() tells how.
  bool InitInstance(const QStringList& arguments);
  int ExitCode() const { return m_exitCode; }

  CMainFrame* MainFrame() const { return m_frame.get(); }
  CZofrinDoc* Document() const { return m_document.get(); }

 private:
  std::unique_ptr<CZofrinDoc> m_document;
  std::unique_ptr<CMainFrame> m_frame;
  int m_exitCode = 0;
};

}  // namespace zofrin
