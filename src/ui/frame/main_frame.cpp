#include "frame/main_frame.h"

#include "app/rux_app.h"
#include "cp1252.h"
#include "document/rux_document.h"
#include "document/string_table.h"
#include "frame/active_targets.h"
#include "frame/mdi_child.h"
#include "frame/message_box.h"
#include "frame/themes.h"
#include "frame/view_host.h"
#include "resources/menus.h"
#include "shell/command_ids.h"
#include "shell/product_paths.h"
#include "shell/theme.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDockWidget>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <QWindow>

namespace rux {

// --- creation --------------------------------------------------------------------------------

CMainFrame::CMainFrame(CRUXApp& app)
    : m_app(app), m_documentTarget(std::make_unique<CActiveDocumentTarget>(*this)),
      m_viewTarget(std::make_unique<CActiveViewTarget>(*this)) {
    setObjectName("MainFrame");
    setWindowTitle(QString::fromUtf8(LoadString(IDS_APP_TITLE)));
    setWindowIcon(QIcon(":/icons/ruxedit.svg"));
    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks);
    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName("MdiArea");
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdi);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &CMainFrame::OnSubWindowActivated);
}

CMainFrame::~CMainFrame() {
    m_closing = true;
    // Qt still sends focus changes while the widget base class tears the window down.
    disconnect(qApp, nullptr, this, nullptr);
    UnregisterFromBus();
    // Children go before the documents they show.
    for (RUX_CMDIChildWnd* child : Children()) {
        child->Document().RemoveObserver(this);
        delete child;
    }
}

bool CMainFrame::Create() {
    m_shell = CShellSettings::Load(m_app.Settings());
    m_hook.Create(CProductPaths::ProductDir(), CHookMenu::kEditorMode);
    m_manuals.Load(CProductPaths::HelpDir());
    m_router.SetHookMenu(&m_hook);
    m_router.SetManuals(
        &m_manuals,
        [](const std::string& target) {
            const QUrl url = QString::fromStdString(target).startsWith("http", Qt::CaseInsensitive)
                                 ? QUrl(QString::fromStdString(target))
                                 : QUrl::fromLocalFile(QString::fromStdString(target));
            // The platform's "open" answers above 32 on success.
            return QDesktopServices::openUrl(url) ? 33 : 0;
        },
        [this](const std::string& text) {
            RuxMessageBox(this, FromCp1252(text), QMessageBox::Ok, QMessageBox::Information, IDS_MANUAL_OPEN_FAILED);
        });
    m_router.SetTarget(CCommandRouter::kView, m_viewTarget.get());
    m_router.SetTarget(CCommandRouter::kDocument, m_documentTarget.get());
    m_router.SetTarget(CCommandRouter::kFrame, this);
    m_router.SetTarget(CCommandRouter::kApplication, &m_app);

    CreateStatusBar();
    m_theme = CThemeTable::Load(m_app.Settings());
    CreateActions();
    ApplyTheme(m_theme, false);
    CreateToolbars();
    SwitchMenu();
    Action(ID_ONLINE)->setVisible(false);
    Action(ID_PORTING_SHOW)->setVisible(false);
    CreatePanes();
    m_extensions = CreateFrameExtensions(*this);
    for (const auto& extension : m_extensions) m_router.AddExtension(extension.get());
    RestoreLayouts();
    if (m_taskPane) m_taskPane->close();
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (m_closing) return;
        // The tree takes commands first only while it has the focus.
        const bool treeFocused = now && m_tree && (now == m_tree || m_tree->isAncestorOf(now));
        m_router.SetTarget(CCommandRouter::kTree, treeFocused ? dynamic_cast<CCommandTarget*>(m_tree) : nullptr);
        UpdateCommandStates();
    });
    UpdateCommandStates();
    UpdateTitle();
    // NUM and CAP follow the lock keys pressed in any window of the editor.
    qApp->installEventFilter(this);
    return true;
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("StatusBar");
    bar->setSizeGripEnabled(true);
    auto* message = new QLabel(QString::fromUtf8(LoadString(IDS_IDLE_MESSAGE)), bar);
    message->setObjectName("PaneMessage");
    bar->addWidget(message, 1);
    m_panes.push_back(message);
    for (const CStatusPane& pane : StatusPanes()) {
        auto* label = new QLabel(bar);
        label->setObjectName(QString("Pane%1").arg(QString::fromUtf8(pane.name).remove(' ')));
        label->setAlignment(Qt::AlignCenter);
        if (pane.textId) label->setText(QString::fromUtf8(LoadString(pane.textId)));
        // The widths are the least a pane gets; a larger font widens the text panes.
        const int textWidth = label->fontMetrics().horizontalAdvance(label->text()) + 10;
        label->setMinimumWidth(std::max(pane.width, textWidth));
        label->setEnabled(!pane.disabled);
        bar->addPermanentWidget(label);
        m_panes.push_back(label);
    }
    UpdateIndicators();
}


// --- documents -------------------------------------------------------------------------------

RUX_CMDIChildWnd* CMainFrame::AddChild(CRUXDocument& document) {
    QWidget* view = CreateProgramView(document, nullptr);
    auto* child = new RUX_CMDIChildWnd(document, view);
    CViewHooks hooks;
    hooks.position = [this, child](const QString& text) {
        if (child == ActiveChild()) SetPaneText(kPanePosition, text);
    };
    hooks.commandState = [this] { UpdateCommandStates(); };
    hooks.contextMenu = [this](const QPoint& pos) { ShowContextMenu(IDR_POPUP_EDIT, pos); };
    hooks.overwrite = [this](bool) { UpdateIndicators(); };
    hooks.caretSection = [this, child](int header) {
        if (child == ActiveChild()) TreeSelectSection(m_tree, child->Document(), header);
    };
    ConnectProgramView(view, child, hooks);
    child->setWindowTitle(QString::fromUtf8(document.GetDisplayTitle()));
    connect(child, &RUX_CMDIChildWnd::childClosing, this, &CMainFrame::OnChildClosing);
    m_mdi->addSubWindow(child);
    document.AddObserver(this);
    TreeAddDocument(m_tree, document);
    child->show();
    m_mdi->setActiveSubWindow(child);
    view->setFocus();
    return child;
}

std::vector<RUX_CMDIChildWnd*> CMainFrame::Children() const {
    std::vector<RUX_CMDIChildWnd*> children;
    for (QMdiSubWindow* w : m_mdi->subWindowList())
        if (auto* child = qobject_cast<RUX_CMDIChildWnd*>(w)) children.push_back(child);
    return children;
}

RUX_CMDIChildWnd* CMainFrame::ChildOf(const CRUXDocument& document) const {
    for (RUX_CMDIChildWnd* child : Children())
        if (&child->Document() == &document) return child;
    return nullptr;
}

RUX_CMDIChildWnd* CMainFrame::ActiveChild() const {
    auto* child = qobject_cast<RUX_CMDIChildWnd*>(m_mdi->activeSubWindow());
    if (child) return child;
    // While the frame is inactive the MDI area reports no active window; the current one still counts.
    return qobject_cast<RUX_CMDIChildWnd*>(m_mdi->currentSubWindow());
}

CRUXDocument* CMainFrame::ActiveDocument() const {
    RUX_CMDIChildWnd* child = ActiveChild();
    return child ? &child->Document() : nullptr;
}

void CMainFrame::OnSubWindowActivated(QMdiSubWindow*) {
    if (m_closing) return;
    SwitchMenu();
    UpdateTitle();
    UpdateToolbars();
    RUX_CMDIChildWnd* child = ActiveChild();
    SetPaneText(kPanePosition, child ? ViewPositionText(child->View()) : QString());
    if (child) SetPaneText(kPaneRead, QString::fromUtf8(LoadString(IDS_INDICATOR_READ)));
    UpdateIndicators();
    UpdateCommandStates();
}

void CMainFrame::OnChildClosing(RUX_CMDIChildWnd* child) {
    CRUXDocument& document = child->Document();
    document.RemoveObserver(this);
    TreeRemoveDocument(m_tree, document);
    // The view goes with the window before its document is destroyed.
    QWidget* view = child->widget();
    child->setWidget(nullptr);
    delete view;
    m_app.ProgramTemplate().CloseDocument(document);
    QMetaObject::invokeMethod(this, [this] { OnSubWindowActivated(nullptr); }, Qt::QueuedConnection);
}

void CMainFrame::OnUpdate(CRUXDocument& document, int hint, const CDocumentChange*) {
    // The program tree watches the document itself.
    if (hint == kHintTitle || hint == kHintAll) {
        if (RUX_CMDIChildWnd* child = ChildOf(document)) child->setWindowTitle(QString::fromUtf8(document.GetDisplayTitle()));
        UpdateTitle();
    }
    UpdateCommandStates();
}

void CMainFrame::UpdateTitle() {
    CRUXDocument* document = ActiveDocument();
    const std::string title = document ? document->GetDisplayTitle() : std::string();
    const QString text = QString::fromStdString(FrameTitle(document ? &title : nullptr));
    if (text != windowTitle()) {
        setWindowTitle(text);
        emit titleChanged(text);
    }
}
// --- status bar ------------------------------------------------------------------------------

void CMainFrame::SetPaneText(int pane, const QString& text) {
    if (pane >= 0 && pane < static_cast<int>(m_panes.size())) m_panes[pane]->setText(text);
}

QString CMainFrame::PaneText(int pane) const {
    return pane >= 0 && pane < static_cast<int>(m_panes.size()) ? m_panes[pane]->text() : QString();
}

bool CMainFrame::IsPaneEnabled(int pane) const {
    return pane >= 0 && pane < static_cast<int>(m_panes.size()) && m_panes[pane]->isEnabled();
}

bool CMainFrame::IsOverwrite() const {
    return OverwriteFlag();
}

void CMainFrame::SetMessageText(const QString& text) {
    SetPaneText(kPaneMessage, text.isEmpty() ? QString::fromUtf8(LoadString(IDS_IDLE_MESSAGE)) : text);
}

void CMainFrame::UpdateIndicators() {
    if (m_panes.size() <= kPaneIns) return;
    // The INS pane greys while typing overwrites.
    m_panes[kPaneIns]->setEnabled(!OverwriteFlag());
    // Lit while the lock is on; left as they are when the window system cannot say.
    if (const std::optional<CLockKeys> locks = m_lockKeys ? m_lockKeys() : std::nullopt) {
        m_panes[kPaneNum]->setEnabled(locks->num);
        m_panes[kPaneCap]->setEnabled(locks->caps);
    }
}

void CMainFrame::SetLockKeysQuery(LockKeysQuery query) {
    m_lockKeys = std::move(query);
    UpdateIndicators();
}
// --- closing ---------------------------------------------------------------------------------

void CMainFrame::SaveShellSettings() {
    m_shell.Save(m_app.Settings());
    for (const auto& extension : m_extensions) extension->OnSaveSettings();
}

bool CMainFrame::CanClose() {
    if (m_app.IsBuildRunning()) return false;
    SaveShellSettings();
    for (RUX_CMDIChildWnd* child : Children())
        if (!child->SaveModified()) return false;
    SaveLayouts();
    CWindowPlacement placement;
    const QRect normal = isMaximized() || isMinimized() ? normalGeometry() : geometry();
    placement.showCmd = isMaximized() ? 3 : isMinimized() ? 2 : 1;
    placement.minX = placement.minY = placement.maxX = placement.maxY = -1;
    placement.left = normal.left();
    placement.top = normal.top();
    placement.right = normal.left() + normal.width();
    placement.bottom = normal.top() + normal.height();
    m_app.Profile().SaveFramePlacement(placement);
    m_app.SaveRecentFiles();
    return true;
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!CanClose()) {
        event->ignore();
        return;
    }
    m_closing = true;
    UnregisterFromBus();
    CloseAllWithoutAsking();
    event->accept();
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    // The desktop's keys for the next and the previous program window, beside Ctrl+Tab. Taken as
    // keys that nothing else wanted rather than as shortcuts, so that a template given Ctrl+F6 keeps it.
    if (type == QEvent::KeyPress && watched == this) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        if (key->key() == Qt::Key_F6 &&
            (mods == Qt::ControlModifier || mods == (Qt::ControlModifier | Qt::ShiftModifier))) {
            if (mods & Qt::ShiftModifier)
                m_mdi->activatePreviousSubWindow();
            else
                m_mdi->activateNextSubWindow();
            return true;
        }
    }
    // Only a lock key, or a return from another application, can change the locks: typing asks the
    // window system nothing. A key reaches its window first, once per stroke; the keyboard is asked
    // once the stroke is over.
    const auto isLockKey = [&] {
        const int key = static_cast<QKeyEvent*>(event)->key();
        return key == Qt::Key_CapsLock || key == Qt::Key_NumLock;
    };
    if ((((type == QEvent::KeyPress || type == QEvent::KeyRelease) && qobject_cast<QWindow*>(watched) &&
          isLockKey()) ||
         type == QEvent::ApplicationActivate) &&
        !m_lockRefreshPending) {
        m_lockRefreshPending = true;
        QTimer::singleShot(0, this, [this] {
            m_lockRefreshPending = false;
            UpdateIndicators();
        });
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace rux
