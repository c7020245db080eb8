// The editor's MDI main window: menus, command bars, status bar, docking panes, theme, command
// routing and the suite's notifications. One class over several files by concern: main_frame.cpp
// (creation, documents, status bar, closing), main_frame_menus.cpp (actions, menu bars, keys,
// context menus), main_frame_panes.cpp (command bars, docking panes, saved layouts),
// main_frame_commands.cpp (command states, the frame's own commands, theme) and
// main_frame_notifications.cpp (the message bus).
#pragma once

#include "document/document_observer.h"
#include "frame/frame_extension.h"
#include "frame/lock_keys.h"
#include "shell/command_line_info.h"
#include "shell/command_router.h"
#include "shell/frame_rules.h"
#include "shell/hook_menu.h"
#include "shell/manuals.h"
#include "shell/shell_settings.h"

#include <QEvent>
#include <QMainWindow>
#include <QPointer>

#include <map>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QDockWidget;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace rux {

class CActiveDocumentTarget;
class CActiveViewTarget;
class CBuildBar;
class CRUXApp;
class CRUXDocument;
class CTaskManagerPane;
class RUX_CMDIChildWnd;
struct CMenuEntry;

// A notification of the suite, carried from the bus's thread to the frame.
class CSuiteEvent : public QEvent {
public:
    static const QEvent::Type kType;
    CSuiteEvent(int number, std::string fileName, std::string lineData)
        : QEvent(kType), number(number), fileName(std::move(fileName)), lineData(std::move(lineData)) {}
    int number;
    std::string fileName;
    std::string lineData;
};

class CMainFrame : public QMainWindow, public CCommandTarget, public CDocumentObserver {
    Q_OBJECT
public:
    // Status bar panes: the message pane, then the panes of the table, in order.
    enum EPane { kPaneMessage, kPanePosition, kPaneRunState, kPaneCom, kPaneNum, kPaneCap, kPaneIns, kPaneRead };

    explicit CMainFrame(CRUXApp& app);
    ~CMainFrame() override;

    // The creation steps: settings, hook menu, status bar, theme, command bars, panes, layouts.
    bool Create();

    EditorMode Mode() const { return m_mode; }
    void SetMode(EditorMode mode) { m_mode = mode; }
    CRUXApp& App() const { return m_app; }
    // The shell's flags as the frame keeps them until it closes (the import-information flag and
    // the like, which features beside the frame read and clear).
    CShellSettings& ShellSettings() { return m_shell; }

    // --- documents ----------------------------------------------------------------------------
    RUX_CMDIChildWnd* AddChild(CRUXDocument& document);
    RUX_CMDIChildWnd* ChildOf(const CRUXDocument& document) const;
    RUX_CMDIChildWnd* ActiveChild() const;
    CRUXDocument* ActiveDocument() const;
    std::vector<RUX_CMDIChildWnd*> Children() const;
    QMdiArea* MdiArea() const { return m_mdi; }

    // --- panes and bars -----------------------------------------------------------------------
    CBuildBar* BuildBar() const { return m_buildBar; }
    QWidget* ProgramTree() const { return m_tree; }
    QDockWidget* WorkspacePane() const { return m_workspacePane; }
    QDockWidget* OutputPane() const { return m_outputPane; }
    QDockWidget* TaskManagerPane() const { return m_taskPane; }
    QToolBar* Toolbar(int id) const;
    QMenuBar* CurrentMenuBar() const;
    int CurrentMenuId() const { return m_menuId; }
    // Shows a hidden or closed pane (a hidden one docked at the bottom); a shown one stays as it is.
    void ShowPane(QDockWidget* pane);
    void ShowOutputPane() { ShowPane(m_outputPane); }
    void UpdateToolbars();
    void ShowToolbarsForMode();

    // --- status bar ---------------------------------------------------------------------------
    void SetPaneText(int pane, const QString& text);
    QString PaneText(int pane) const;
    bool IsPaneEnabled(int pane) const;
    // Where NUM and CAP learn the lock keys (the window system unless a test says otherwise).
    void SetLockKeysQuery(LockKeysQuery query);
    void SetMessageText(const QString& text);

    // --- commands -----------------------------------------------------------------------------
    CCommandRouter& Router() { return m_router; }
    QAction* Action(int id) const;
    // A context menu from its table, with the hook library's items for the selection mode appended;
    // the caller owns it.
    QMenu* BuildContextMenu(int menuId, int selMode = 0);
    // Shows it at a screen position (the program view's right click).
    void ShowContextMenu(int menuId, const QPoint& globalPos);
    // Runs a command as a menu or a key would; false when nobody handled it.
    bool RunCommand(int id);
    // Every action's enabled, checked and visible state from the router.
    void UpdateCommandStates();
    bool IsOverwrite() const;
    // The templates were read again: their actions, the Templates menu and every key are renewed.
    void TemplatesLoaded();

    // --- theme --------------------------------------------------------------------------------
    int Theme() const { return m_theme; }
    int PaneTheme() const;
    void ApplyTheme(int number, bool tellSuite);

    // --- notifications ------------------------------------------------------------------------
    // Registers as RUX2EDIT on the message bus; false when the bus is missing.
    bool RegisterOnBus();
    void UnregisterFromBus();
    // Safe from any thread: the notification is handled on the UI thread.
    void PostSuiteMessage(int number, const std::string& fileName, const std::string& lineData);
    void HandleSuiteMessage(int number, const std::string& fileName, const std::string& lineData);
    // Opens or activates the file and marks the line; -1 numbers are absent. False when nothing was
    // shown.
    bool GoToErrorLocation(const std::string& fileName, const CErrorLocation& location);

    // Closing as the user asks it: refused during a build; settings, save prompts, layouts.
    bool CanClose();
    void SaveShellSettings();

    // --- CCommandTarget -----------------------------------------------------------------------
    bool OnUpdateCommand(CCmdUI& ui) override;
    bool OnCommand(int id) override;
    // --- CDocumentObserver --------------------------------------------------------------------
    void OnUpdate(CRUXDocument& document, int hint, const CDocumentChange* change) override;

signals:
    void titleChanged(const QString& title);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateActions();
    QAction* MakeAction(int id);
    QMenuBar* BuildMenuBar(int menuId);
    void FillMenu(QMenu* menu, const CMenuEntry*& entry, const CMenuEntry* end);
    void FillRecentFiles(QMenu* menu);
    void FillWindows(QMenu* menu);
    void FillUserGuides(QMenu* menu);
    void FillTemplates();
    // Every action's key from the shortcut table of the menu shown.
    void ApplyShortcuts();
    void AddHookItems(QMenu* menu, int selMode);
    void CreateToolbars();
    void CreateStatusBar();
    void CreatePanes();
    void RestoreLayouts();
    void SaveLayouts();
    void SwitchMenu();
    void OnSubWindowActivated(QMdiSubWindow* window);
    void OnChildClosing(RUX_CMDIChildWnd* child);
    void UpdateTitle();
    void UpdateIndicators();
    void TogglePane(QDockWidget* pane);
    void ApplyTreeOptions();
    bool IsPaneShown(const QDockWidget* pane) const;
    void OpenAndMaximise(const std::string& path);
    void ShowWindowList();
    void CloseAllWithoutAsking();
    void ForwardToChildren(int number, const std::string& fileName);

    CRUXApp& m_app;
    EditorMode m_mode = EditMode;
    CShellSettings m_shell;
    int m_theme = 2;
    int m_menuId = 0;

    CHookMenu m_hook;
    H2_CManuals m_manuals;
    CCommandRouter m_router;
    std::unique_ptr<CActiveDocumentTarget> m_documentTarget;
    std::unique_ptr<CActiveViewTarget> m_viewTarget;
    std::vector<std::unique_ptr<CFrameExtension>> m_extensions;

    QMdiArea* m_mdi = nullptr;
    std::map<int, QAction*> m_actions;
    QActionGroup* m_themeGroup = nullptr;
    QMenuBar* m_mainMenu = nullptr;
    QMenuBar* m_programMenu = nullptr;
    QPointer<QMenu> m_templatesMenu; // the Templates sub-menu of the menu bar shown, if it has one
    std::map<int, QToolBar*> m_toolbars;
    std::vector<QLabel*> m_panes;
    CBuildBar* m_buildBar = nullptr;
    QWidget* m_tree = nullptr;
    CTaskManagerPane* m_taskManager = nullptr;
    QDockWidget* m_workspacePane = nullptr;
    QDockWidget* m_outputPane = nullptr;
    QDockWidget* m_taskPane = nullptr;
    bool m_onBus = false;
    bool m_closing = false;
    LockKeysQuery m_lockKeys = QueryLockKeys;
    bool m_lockRefreshPending = false;
};

} // namespace rux
