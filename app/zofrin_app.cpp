#include "app/zofrin_app.h"

#include <QApplication>

#include "app/desktop_integration.h"
#include "app/main_frame.h"
#include "app/zofrin_doc.h"
#include "framework/document_controller.h"
#include "framework/recent_files.h"

namespace zofrin {
namespace {

bool IsSwitch(const QString& argument, const char* name) {
  return argument == QLatin1Char('/') + QLatin1String(name) ||
         argument == QLatin1Char('-') + QLatin1String(name);
}

}  // namespace

CZofrinApp::CZofrinApp() = default;
CZofrinApp::~CZofrinApp() = default;

bool CZofrinApp::InitInstance(const QStringList& arguments) {
  m_document = std::make_unique<CZofrinDoc>();
  m_frame = std::make_unique<CMainFrame>(m_document.get());
  DocumentController* controller = m_frame->Controller();
  controller->RecentFiles().Load(RecentFileList::SettingsPath());
  m_frame->UpdateRecentFiles();

  DesktopIntegration::Refresh(QApplication::applicationFilePath());

  // "/p path" and "/pt path printer driver port" open the file without a
  // window and end: there is nothing to print.
  if (!arguments.isEmpty() && (IsSwitch(arguments[0], "p") || IsSwitch(arguments[0], "pt"))) {
    const bool opened = arguments.size() >= 2 && controller->OpenDocumentFile(arguments[1], false);
    m_exitCode = opened ? 0 : 1;
    return false;
  }
  if (arguments.isEmpty()) {
    controller->OnFileNew();
  } else if (!controller->OpenDocumentFile(arguments[0], false)) {
    m_exitCode = 1;
    return false;
  }
  m_frame->show();
  m_frame->FitToView();
  return true;
}

}  // namespace zofrin
