// The main window: menus, the dockable toolbar, the view and a status bar
// that shows each command's prompt while it is pointed at, "Ready"
// otherwise. The window has a fixed size: exactly the view's form, plus
// the bars.
#pragma once

#include <QMainWindow>
#include <map>

#include "resources/commands.h"

class QAction;
class QMenu;
class QToolBar;
class QStatusBar;
class QLabel;

namespace zofrin {

class CZofrinDoc;
class CZofrinView;
class DocumentController;
class HelpWindow;

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  explicit CMainFrame(CZofrinDoc* document);
  ~CMainFrame() override;

  CZofrinView* View() const { return m_view; }
  DocumentController* Controller() const { return m_controller; }
  QAction* Action(commands::Id id) const;
  QToolBar* ToolBar() const { return m_toolBar; }
  QMenu* ContextMenu() const { return m_contextMenu; }

  // Runs a command as a menu item would, if it is enabled.
  void Dispatch(commands::Id id);
  // Evaluates every enabling rule and applies it to menus and toolbar.
  void UpdateCommandUI();
  // Makes the window exactly fit the view and the bars.
  void FitToView();
  void ShowContextMenu(const QPoint& globalPos);
  void ShowHelp();
  // Shows the recent-file list on the File menu.
  void UpdateRecentFiles();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateActions();
  void CreateMenus();
  void CreateToolBar();
  void CreateStatusBar();
  void UpdateTitle();
  void OnAbout();

  CZofrinDoc* m_document;
  CZofrinView* m_view;
  DocumentController* m_controller;
  std::map<int, QAction*> m_actions;
  QMenu* m_fileMenu = nullptr;
  QAction* m_recentPlaceholder = nullptr;
  QAction* m_recentActions[4] = {};
  QMenu* m_contextMenu = nullptr;
  QToolBar* m_toolBar = nullptr;
  QLabel* m_ready = nullptr;
  HelpWindow* m_help = nullptr;
};

}  // namespace zofrin
