#include "app/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QToolBar>
#include <QWhatsThis>

#include "app/about_dlg.h"
#include "app/help_window.h"
#include "app/zofrin_doc.h"
#include "app/zofrin_view.h"
#include "framework/document_controller.h"
#include "framework/icons.h"
#include "framework/text_codec.h"
#include "resources/texts.h"

namespace zofrin {

using namespace commands;

CMainFrame::CMainFrame(CZofrinDoc* document) : m_document(document) {
  setObjectName(QStringLiteral("mainFrame"));
  // A caption, a system menu, a minimize box and a close box; no sizing
  // border and no maximize box.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setWindowIcon(ProgramIcon());
  setAcceptDrops(true);
  m_view = new CZofrinView(document, this);
  setCentralWidget(m_view);
  m_controller = new DocumentController(document, this);
  m_controller->SetInitialUpdate([this] {
    m_view->OnInitialUpdate();
    FitToView();
  });
  CreateActions();
  CreateMenus();
  CreateToolBar();
  CreateStatusBar();
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  move(75, 50);

  connect(m_view, &CZofrinView::stateChanged, this, &CMainFrame::UpdateCommandUI);
  connect(m_view, &CZofrinView::contextMenuRequested, this, &CMainFrame::ShowContextMenu);
  connect(m_controller, &DocumentController::titleChanged, this, &CMainFrame::UpdateTitle);
  connect(m_controller, &DocumentController::recentFilesChanged, this,
          &CMainFrame::UpdateRecentFiles);
  connect(m_controller, &DocumentController::activateRequested, this, [this] {
    showNormal();
    raise();
    activateWindow();
  });
  connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
          &CMainFrame::UpdateCommandUI);
  UpdateTitle();
  UpdateRecentFiles();
  UpdateCommandUI();
}

CMainFrame::~CMainFrame() = default;

QAction* CMainFrame::Action(Id id) const {
  const auto it = m_actions.find(id);
  return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::CreateActions() {
  for (const Command& command : kCommands) {
    auto* action = new QAction(this);
    action->setObjectName(QStringLiteral("command%1").arg(command.id));
    action->setIcon(CommandIcon(command.id));
    action->setStatusTip(FromProgramText(command.prompt));
    action->setWhatsThis(FromProgramText(command.prompt));
    if (*command.tooltip) action->setToolTip(FromProgramText(command.tooltip));
    const Id id = command.id;
    connect(action, &QAction::triggered, this, [this, id] { Dispatch(id); });
    m_actions[id] = action;
  }
  Action(kFileNew)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
  Action(kFileOpen)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  Action(kFileSave)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  Action(kContextHelp)->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F1));
  // F1 opens the help as "Help Topics" does.
  Action(kHelp)->setShortcut(QKeySequence(Qt::Key_F1));
  addAction(Action(kHelp));
  // The menu text gives the shortcut its text after the tab; the window
  // catches the keys wherever the focus is.
  for (Id id : {kFileNew, kFileOpen, kFileSave, kContextHelp}) {
    Action(id)->setShortcutContext(Qt::WindowShortcut);
  }
}

void CMainFrame::CreateMenus() {
  for (const Menu& menu : kMainMenu) {
    QMenu* popup = menuBar()->addMenu(FromProgramText(menu.title));
    connect(popup, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
    for (const MenuItem& item : menu.items) {
      if (item.id == kNone) {
        popup->addSeparator();
      } else if (item.id == kRecentFile1) {
        m_fileMenu = popup;
        m_recentPlaceholder = popup->addAction(FromProgramText(item.text));
        m_recentPlaceholder->setEnabled(false);
        for (int i = 0; i < 4; ++i) {
          m_recentActions[i] = Action(static_cast<Id>(kRecentFile1 + i));
          popup->addAction(m_recentActions[i]);
        }
      } else {
        QAction* action = Action(item.id);
        action->setText(FromProgramText(item.text));
        popup->addAction(action);
      }
    }
  }
  // The context menu shares the actions, and with them their enabling; its
  // texts differ, so its items are proxies that follow the actions.
  m_contextMenu = new QMenu(this);
  m_contextMenu->setObjectName(QStringLiteral("contextMenu"));
  for (const MenuItem& item : kContextMenu) {
    if (item.id == kNone) {
      m_contextMenu->addSeparator();
      continue;
    }
    QAction* target = Action(item.id);
    QAction* proxy = m_contextMenu->addAction(FromProgramText(item.text));
    proxy->setObjectName(QStringLiteral("context%1").arg(item.id));
    proxy->setStatusTip(target->statusTip());
    proxy->setEnabled(target->isEnabled());
    connect(target, &QAction::changed, proxy, [proxy, target] {
      proxy->setEnabled(target->isEnabled());
    });
    connect(proxy, &QAction::triggered, target, &QAction::trigger);
  }
}

void CMainFrame::CreateToolBar() {
  m_toolBar = new QToolBar(this);
  m_toolBar->setObjectName(QStringLiteral("toolBar"));
  m_toolBar->setWindowTitle(QStringLiteral("Toolbar"));
  m_toolBar->setIconSize(QSize(16, 16));
  m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
  m_toolBar->setMovable(true);
  m_toolBar->setFloatable(true);
  for (Id id : kToolbar) {
    if (id == kNone) {
      m_toolBar->addSeparator();
    } else {
      m_toolBar->addAction(Action(id));
    }
  }
  // Help Topics has no tooltip of its own; its button shows its name.
  Action(kHelpTopics)->setToolTip(QStringLiteral("Help Topics"));
  addToolBar(Qt::TopToolBarArea, m_toolBar);
}

void CMainFrame::CreateStatusBar() {
  // A normal widget is hidden while a prompt is shown, so "Ready" shows
  // exactly when nothing is pointed at.
  m_ready = new QLabel(FromProgramText(texts::kReady));
  m_ready->setObjectName(QStringLiteral("readyLabel"));
  statusBar()->addWidget(m_ready, 1);
  statusBar()->setSizeGripEnabled(false);
}

void CMainFrame::FitToView() {
  layout()->activate();
  adjustSize();
}

void CMainFrame::UpdateTitle() { setWindowTitle(m_controller->WindowTitle()); }

void CMainFrame::UpdateRecentFiles() {
  const RecentFileList& recent = m_controller->RecentFiles();
  m_recentPlaceholder->setVisible(recent.Count() == 0);
  for (int i = 0; i < 4; ++i) {
    QAction* action = m_recentActions[i];
    action->setVisible(i < recent.Count());
    if (i < recent.Count()) {
      QString name = recent.DisplayName(i);
      name.replace(QLatin1Char('&'), QStringLiteral("&&"));
      action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(name));
    }
  }
}

void CMainFrame::UpdateCommandUI() {
  for (const Command& command : kCommands) {
    if (!m_view->Handles(command.id)) continue;
    Action(command.id)->setEnabled(m_view->IsEnabled(command.id));
  }
}

void CMainFrame::Dispatch(Id id) {
  QAction* action = Action(id);
  if (action && !action->isEnabled()) return;
  switch (id) {
    case kFileNew: m_controller->OnFileNew(); break;
    case kFileOpen: m_controller->OnFileOpen(); break;
    case kFileSave: m_controller->OnFileSave(); break;
    case kFileSaveAs: m_controller->OnFileSaveAs(); break;
    case kRecentFile1:
    case kRecentFile2:
    case kRecentFile3:
    case kRecentFile4: m_controller->OnRecentFile(id - kRecentFile1); break;
    case kExit: close(); break;
    case kAbout: OnAbout(); break;
    case kHelpTopics:
    case kHelp:
    case kDefaultHelp: ShowHelp(); break;
    case kContextHelp: QWhatsThis::enterWhatsThisMode(); break;
    default:
      if (m_view->Handles(id)) m_view->Execute(id);
      break;
  }
  UpdateCommandUI();
}

void CMainFrame::ShowContextMenu(const QPoint& globalPos) {
  UpdateCommandUI();
  m_contextMenu->popup(globalPos);
}

void CMainFrame::ShowHelp() {
  if (!m_help) m_help = new HelpWindow(this);
  m_help->show();
  m_help->raise();
  m_help->activateWindow();
}

void CMainFrame::OnAbout() {
  CAboutDlg about(this);
  about.exec();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (!m_controller->SaveModified()) {
    event->ignore();
    return;
  }
  m_controller->RecentFiles().Save(RecentFileList::SettingsPath());
  if (m_help) m_help->close();
  event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) paths << url.toLocalFile();
  }
  event->acceptProposedAction();
  activateWindow();
  m_controller->OpenDroppedFiles(paths);
}

}  // namespace zofrin
