#include "frame/main_frame.h"

#include "app/rux_app.h"
#include "document/code_page.h"
#include "document/rux_document.h"
#include "document/string_table.h"
#include "editor/error_location.h"
#include "file_names.h"
#include "themed_icon.h"
#include "virtual_keys.h"
#include "frame/mdi_child.h"
#include "frame/message_box.h"
#include "frame/templates_menu.h"
#include "frame/themes.h"
#include "qt_colour.h"
#include "frame/view_host.h"
#include "panes/build_bar.h"
#include "panes/task_manager_pane.h"
#include "resources/menus.h"
#include "shell/command_ids.h"
#include "shell/product_paths.h"
#include "shell/theme.h"
#include "target/sse_notifier.h"

#include <QAbstractScrollArea>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDockWidget>
#include <QFileInfo>
#include <QIcon>
#include <QInputDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>

#include <filesystem>

namespace rux {

const QEvent::Type CSuiteEvent::kType = static_cast<QEvent::Type>(QEvent::registerEventType(QEvent::User + 1024));

namespace {

QString Ui(const std::string& bytes) {
    return QString::fromStdString(Cp1252ToUtf8(bytes));
}

QString MenuText(int id) {
    return QString::fromUtf8(LoadMenuString(id));
}

constexpr int kLayoutVersion = 1;
constexpr const char* kLayoutSection = "NormalLayout";
constexpr const char* kCommandBarsSection = "RUXCommandBars";
constexpr int kChunk = 200;

// Binary state in the profile: base64 in chunks short enough for any profile reader.
void WriteBlob(CProfileStore& profile, const char* section, const QByteArray& data) {
    const QByteArray text = data.toBase64();
    const int chunks = static_cast<int>((text.size() + kChunk - 1) / kChunk);
    profile.WriteInt(section, "Chunks", chunks);
    for (int i = 0; i < chunks; ++i)
        profile.WriteString(section, "Data" + std::to_string(i), text.mid(i * kChunk, kChunk).toStdString());
}

QByteArray ReadBlob(const CProfileStore& profile, const char* section) {
    const int chunks = profile.GetInt(section, "Chunks", 0);
    if (chunks <= 0 || chunks > 10000) return {};
    QByteArray text;
    for (int i = 0; i < chunks; ++i)
        text += QByteArray::fromStdString(profile.GetString(section, "Data" + std::to_string(i), ""));
    return QByteArray::fromBase64(text);
}

} // namespace

// --- the active document and view as command targets -----------------------------------------

class CMainFrame::CDocumentTarget : public CCommandTarget {
public:
    explicit CDocumentTarget(CMainFrame& frame) : m_frame(frame) {}
    bool OnUpdateCommand(CCmdUI& ui) override {
        CRUXDocument* document = m_frame.ActiveDocument();
        if (!document) return false;
        switch (ui.id) {
        case ID_FILE_SAVE: ui.Enable(!document->IsReadOnly()); return true;
        case ID_FILE_SAVE_AS:
        case ID_FILE_CLOSE: ui.Enable(); return true;
        default: return false;
        }
    }
    bool OnCommand(int id) override {
        RUX_CMDIChildWnd* child = m_frame.ActiveChild();
        if (!child) return false;
        CRUXDocument& document = child->Document();
        switch (id) {
        case ID_FILE_SAVE:
            // SaveDocument writes only a modified program; a forced save of an unchanged one is a no-op.
            if (!document.SaveDocument()) RuxMessageBox(&m_frame, QObject::tr("The program could not be saved."));
            return true;
        case ID_FILE_SAVE_AS: {
            const QString path = QFileDialogSaveAs(document);
            if (path.isEmpty()) return true;
            const std::string old = document.GetPathName();
            document.SetPathName(path.toStdString());
            document.SetModified(true);
            if (!document.SaveDocument()) {
                document.SetPathName(old);
                RuxMessageBox(&m_frame, QObject::tr("The program could not be saved."));
            }
            document.SetTitle();
            return true;
        }
        case ID_FILE_CLOSE: child->close(); return true;
        default: return false;
        }
    }

private:
    QString QFileDialogSaveAs(const CRUXDocument& document);
    CMainFrame& m_frame;
};

} // namespace rux

#include <QFileDialog>

namespace rux {

QString CMainFrame::CDocumentTarget::QFileDialogSaveAs(const CRUXDocument& document) {
    return QFileDialog::getSaveFileName(&m_frame, QObject::tr("Save As"), QString::fromStdString(document.GetPathName()),
                                        m_frame.App().ProgramTemplate().FileFilter());
}

class CMainFrame::CViewTarget : public CCommandTarget {
public:
    explicit CViewTarget(CMainFrame& frame) : m_frame(frame) {}
    bool OnUpdateCommand(CCmdUI& ui) override {
        RUX_CMDIChildWnd* child = m_frame.ActiveChild();
        return child && UpdateViewCommand(child->View(), ui);
    }
    bool OnCommand(int id) override {
        RUX_CMDIChildWnd* child = m_frame.ActiveChild();
        return child && RunViewCommand(child->View(), id);
    }

private:
    CMainFrame& m_frame;
};

// --- creation --------------------------------------------------------------------------------

CMainFrame::CMainFrame(CRUXApp& app)
    : m_app(app), m_documentTarget(std::make_unique<CDocumentTarget>(*this)),
      m_viewTarget(std::make_unique<CViewTarget>(*this)) {
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
            RuxMessageBox(this, Ui(text), QMessageBox::Ok, QMessageBox::Information, IDS_MANUAL_OPEN_FAILED);
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
    return true;
}

QAction* CMainFrame::MakeAction(int id) {
    if (QAction* existing = Action(id)) return existing;
    QString text = MenuText(id);
    const int tab = text.indexOf('\t');
    auto* action = new QAction(tab >= 0 ? text.left(tab) : text, this);
    action->setObjectName(QString("cmd%1").arg(id));
    action->setData(id);
    QString tip = tab >= 0 ? text.left(tab) : text;
    tip.remove('&');
    if (tip.endsWith("...")) tip.chop(3);
    action->setProperty("tip", tip);
    action->setToolTip(tip);
    if (const char* icon = CommandIconPath(id)) action->setIcon(ThemedIcon(QString::fromUtf8(icon)));
    connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    m_actions[id] = action;
    addAction(action); // shortcuts work while the menu bar shows another menu
    return action;
}

void CMainFrame::CreateActions() {
    for (int menu : {IDR_MAINFRAME, IDR_RUXTYPE, IDR_POPUP_EDIT, IDR_POPUP_TREE_DOC, IDR_POPUP_TREE_FB, IDR_POPUP_TREE_DIAG})
        for (const CMenuEntry& e : MenuEntries(menu))
            if (e.kind == EMenuKind::Command) MakeAction(e.id);
    for (const CToolbarSpec& bar : Toolbars())
        for (int id : bar.buttons)
            if (id) MakeAction(id);
    m_themeGroup = new QActionGroup(this);
    for (const CThemeEntry& theme : CThemeTable::Entries()) m_themeGroup->addAction(Action(theme.command));
    // Keys without a menu entry: Insert toggles overwriting, Delete goes to the tree or the view.
    MakeAction(ID_KEY_INSERT);
    for (int i = 0; i < CRUXApp::kRecentFiles; ++i) MakeAction(ID_FILE_MRU_FIRST + i);
}

QAction* CMainFrame::Action(int id) const {
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

QToolBar* CMainFrame::Toolbar(int id) const {
    auto it = m_toolbars.find(id);
    return it == m_toolbars.end() ? nullptr : it->second;
}

QMenuBar* CMainFrame::CurrentMenuBar() const {
    return menuBar();
}

QMenuBar* CMainFrame::BuildMenuBar(int menuId) {
    auto* bar = new QMenuBar(this);
    bar->setObjectName(QString("Menu%1").arg(menuId));
    const auto entries = MenuEntries(menuId);
    const CMenuEntry* entry = entries.data();
    const CMenuEntry* end = entries.data() + entries.size();
    while (entry < end) {
        if (entry->kind != EMenuKind::Popup) {
            ++entry;
            continue;
        }
        QMenu* menu = bar->addMenu(QString::fromUtf8(LoadString(entry->id)));
        ++entry;
        FillMenu(menu, entry, end);
    }
    return bar;
}

void CMainFrame::FillMenu(QMenu* menu, const CMenuEntry*& entry, const CMenuEntry* end) {
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
    while (entry < end && entry->kind != EMenuKind::End) {
        const CMenuEntry& e = *entry++;
        switch (e.kind) {
        case EMenuKind::Command: menu->addAction(Action(e.id)); break;
        case EMenuKind::Separator: menu->addSeparator(); break;
        case EMenuKind::Popup: {
            QMenu* sub = menu->addMenu(QString::fromUtf8(LoadString(e.id)));
            FillMenu(sub, entry, end);
            break;
        }
        case EMenuKind::RecentFiles: {
            // Filled when the menu opens; the separator after them shows only when there are files.
            for (int i = 0; i < CRUXApp::kRecentFiles; ++i) menu->addAction(Action(ID_FILE_MRU_FIRST + i));
            menu->addSeparator()->setObjectName("RecentFilesEnd");
            connect(menu, &QMenu::aboutToShow, this, [this, menu] { FillRecentFiles(menu); });
            break;
        }
        case EMenuKind::Windows:
            connect(menu, &QMenu::aboutToShow, this, [this, menu] { FillWindows(menu); });
            break;
        case EMenuKind::UserGuides: {
            QAction* anchor = menu->addSeparator();
            anchor->setObjectName("UserGuidesEnd");
            for (const H2_CManuals::Item& item : m_manuals.Items()) {
                QAction* action = MakeAction(item.id);
                action->setText(Ui(item.menuName));
                menu->insertAction(anchor, action);
            }
            anchor->setVisible(!m_manuals.Items().empty());
            break;
        }
        case EMenuKind::Templates:
            AddTemplatesAnchor(*menu);
            m_templatesMenu = menu;
            FillTemplates();
            break;
        case EMenuKind::End: break;
        }
    }
    if (entry < end) ++entry; // the End of this menu
}

void CMainFrame::FillTemplates() {
    if (!m_templatesMenu) return;
    FillTemplatesMenu(*m_templatesMenu,
                      BuildTemplateMenu(m_app.Templates(), m_shell.maxCategories, m_shell.maxTemplates,
                                        &m_app.Accelerators()),
                      [this](int id) { return Action(id); }, [this] { UpdateCommandStates(); });
}

void CMainFrame::TemplatesLoaded() {
    // Ids name other templates after a reload: every template action is made anew.
    for (auto it = m_actions.begin(); it != m_actions.end();) {
        if (CTplMgr::IsTemplateCommand(it->first)) {
            delete it->second;
            it = m_actions.erase(it);
        } else {
            ++it;
        }
    }
    for (const CTplCat& category : m_app.Templates().Categories())
        for (const CTpl& tpl : category.templates) {
            QAction* action = MakeAction(static_cast<int>(tpl.id));
            action->setText(TemplateCaption(tpl.name));
            action->setProperty("tip", FromFileName(tpl.name));
        }
    ApplyShortcuts();
    FillTemplates();
    UpdateCommandStates();
}

void CMainFrame::ApplyShortcuts() {
    const CAccelMgr& accels = m_app.Accelerators();
    const int shown = m_menuId == IDR_MAINFRAME ? CAccelMgr::kMainMenu : CAccelMgr::kProgramMenu;
    auto keysOf = [](const CAccel* accel) {
        return accel && !CAccelMgr::IsViewKey(accel->Combo()) ? ToKeySequence(accel->Combo()) : QKeySequence();
    };
    for (auto& [id, action] : m_actions) {
        action->setShortcut(keysOf(accels.OfCommand(shown, id)));
        action->setShortcutContext(Qt::WindowShortcut);
        // The tip names the command's key where the command runs, also while it is greyed.
        const CAccel* where = accels.OfCommand(CAccelMgr::kProgramMenu, id);
        const QKeySequence keys = keysOf(where ? where : accels.OfCommand(CAccelMgr::kMainMenu, id));
        const QString tip = action->property("tip").toString();
        action->setToolTip(keys.isEmpty() ? tip : QString("%1 (%2)").arg(tip, keys.toString(QKeySequence::NativeText)));
    }
}

void CMainFrame::FillRecentFiles(QMenu* menu) {
    const QStringList& files = m_app.RecentFiles();
    for (int i = 0; i < CRUXApp::kRecentFiles; ++i) {
        QAction* action = Action(ID_FILE_MRU_FIRST + i);
        action->setVisible(i < files.size());
        if (i < files.size()) action->setText(QString("&%1 %2").arg(i + 1).arg(files[i]));
    }
    for (QAction* a : menu->actions())
        if (a->objectName() == "RecentFilesEnd") a->setVisible(!files.isEmpty());
}

void CMainFrame::FillWindows(QMenu* menu) {
    for (QAction* a : menu->actions())
        if (a->property("childEntry").toBool()) {
            menu->removeAction(a);
            a->deleteLater();
        }
    QAction* before = Action(ID_WINDOW_LIST);
    const auto children = Children();
    for (size_t i = 0; i < children.size() && i < 9; ++i) {
        auto* action = new QAction(QString("&%1 %2").arg(i + 1).arg(children[i]->windowTitle()), menu);
        action->setProperty("childEntry", true);
        action->setCheckable(true);
        action->setChecked(children[i] == ActiveChild());
        RUX_CMDIChildWnd* child = children[i];
        connect(action, &QAction::triggered, this, [this, child] {
            for (RUX_CMDIChildWnd* c : Children())
                if (c == child) m_mdi->setActiveSubWindow(c);
        });
        menu->insertAction(before, action);
    }
}

void CMainFrame::AddHookItems(QMenu* menu, int selMode) {
    std::set<int> ids;
    for (QAction* a : menu->actions())
        if (a->data().isValid()) ids.insert(a->data().toInt());
    const CHookMenu::Addition addition = m_hook.ItemsToAppend(selMode, ids);
    if (addition.separator) menu->addSeparator();
    for (const CHookMenu::Item& item : addition.items) {
        QAction* action = MakeAction(item.commandId);
        action->setText(Ui(item.text));
        menu->addAction(action);
    }
}

QMenu* CMainFrame::BuildContextMenu(int menuId, int selMode) {
    auto* menu = new QMenu(this);
    menu->setObjectName(QString("Menu%1").arg(menuId));
    const auto entries = MenuEntries(menuId);
    const CMenuEntry* entry = entries.data();
    FillMenu(menu, entry, entries.data() + entries.size());
    AddHookItems(menu, selMode);
    UpdateCommandStates();
    return menu;
}

void CMainFrame::ShowContextMenu(int menuId, const QPoint& globalPos) {
    // Hook items live only as long as the menu: it is built for each showing and dropped after.
    QMenu* menu = BuildContextMenu(menuId);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPos);
}

void CMainFrame::SwitchMenu() {
    const int wanted = ActiveChild() ? IDR_RUXTYPE : IDR_MAINFRAME;
    if (wanted == m_menuId) return;
    m_menuId = wanted;
    setMenuBar(BuildMenuBar(wanted)); // the old bar goes with it; the actions stay
    ApplyShortcuts();
}

void CMainFrame::CreateToolbars() {
    for (const CToolbarSpec& def : Toolbars()) {
        auto* bar = new QToolBar(QString::fromUtf8(def.name), this);
        bar->setObjectName(QString::fromUtf8(def.name));
        bar->setIconSize(QSize(16, 16));
        bar->setMovable(true);
        bar->toggleViewAction()->setVisible(false); // toolbars follow the mode, not the user's whims
        for (int id : def.buttons) {
            if (id == 0)
                bar->addSeparator();
            else
                bar->addAction(Action(id));
        }
        addToolBar(Qt::TopToolBarArea, bar);
        m_toolbars[def.id] = bar;
    }
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

void CMainFrame::CreatePanes() {
    m_buildBar = new CBuildBar(this);
    m_tree = CreateProgramTree(this);
    ApplyTreeOptions();
    CTreeHooks treeHooks;
    treeHooks.goToItem = [this](CRUXDocument* document, int item, bool) {
        RUX_CMDIChildWnd* child = document ? ChildOf(*document) : nullptr;
        if (!child) return;
        m_mdi->setActiveSubWindow(child);
        child->View()->setFocus();
        if (item >= 0) ViewGoToItem(child->View(), item);
    };
    ConnectProgramTree(m_tree, this, treeHooks);
    m_taskManager = new CTaskManagerPane(this);
    connect(m_buildBar, &CBuildBar::LocationPicked, this, [this](const QString& file, int line, int start, int end) {
        HandleSuiteMessage(1525, file.toStdString(),
                           std::to_string(line) + ";" + std::to_string(start) + ";" + std::to_string(end));
    });
    auto makePane = [this](int titleId, const char* name, QWidget* content, Qt::DockWidgetArea area) {
        auto* pane = new QDockWidget(QString::fromUtf8(LoadString(titleId)), this);
        pane->setObjectName(QString::fromUtf8(name));
        pane->setWidget(content);
        pane->setAllowedAreas(Qt::AllDockWidgetAreas);
        addDockWidget(area, pane);
        connect(pane, &QDockWidget::visibilityChanged, this, [this] { UpdateCommandStates(); });
        return pane;
    };
    m_workspacePane = makePane(IDS_PANE_WORKSPACE, "Workspace", m_tree, Qt::LeftDockWidgetArea);
    m_outputPane = makePane(IDS_PANE_OUTPUT, "Output", m_buildBar, Qt::BottomDockWidgetArea);
    m_taskPane = makePane(IDS_PANE_TASK_MANAGER, "TaskManager", m_taskManager, Qt::LeftDockWidgetArea);
    tabifyDockWidget(m_workspacePane, m_taskPane);
    m_workspacePane->raise();
    resizeDocks({m_workspacePane}, {240}, Qt::Horizontal);
    resizeDocks({m_outputPane}, {150}, Qt::Vertical);
}

void CMainFrame::RestoreLayouts() {
    // A missing or damaged layout keeps the default places set up above.
    const QByteArray layout = ReadBlob(m_app.Profile(), kLayoutSection);
    if (!layout.isEmpty()) restoreState(layout, kLayoutVersion);
    const QByteArray bars = ReadBlob(m_app.Profile(), kCommandBarsSection);
    if (!bars.isEmpty()) {
        // Per toolbar: area number, then a line break flag, one pair per toolbar in creation order.
        const QList<QByteArray> parts = bars.split(',');
        int i = 0;
        for (const CToolbarSpec& def : Toolbars()) {
            if (i + 1 >= parts.size()) break;
            const int area = parts[i].toInt();
            const bool lineBreak = parts[i + 1].toInt() != 0;
            i += 2;
            if (area != Qt::LeftToolBarArea && area != Qt::RightToolBarArea && area != Qt::TopToolBarArea &&
                area != Qt::BottomToolBarArea)
                continue;
            QToolBar* bar = Toolbar(def.id);
            if (lineBreak) addToolBarBreak(static_cast<Qt::ToolBarArea>(area));
            addToolBar(static_cast<Qt::ToolBarArea>(area), bar);
        }
    }
}

void CMainFrame::SaveLayouts() {
    WriteBlob(m_app.Profile(), kLayoutSection, saveState(kLayoutVersion));
    QByteArray bars;
    for (const CToolbarSpec& def : Toolbars()) {
        QToolBar* bar = Toolbar(def.id);
        if (!bars.isEmpty()) bars += ',';
        bars += QByteArray::number(static_cast<int>(toolBarArea(bar))) + ',' +
                QByteArray::number(toolBarBreak(bar) ? 1 : 0);
    }
    WriteBlob(m_app.Profile(), kCommandBarsSection, bars);
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

// --- panes and toolbars ----------------------------------------------------------------------

bool CMainFrame::IsPaneShown(const QDockWidget* pane) const {
    return pane && !pane->isHidden();
}

void CMainFrame::ShowPane(QDockWidget* pane) {
    if (!pane) return;
    if (pane->isHidden()) {
        if (dockWidgetArea(pane) == Qt::NoDockWidgetArea) addDockWidget(Qt::BottomDockWidgetArea, pane);
        pane->show();
    }
    pane->raise();
}

void CMainFrame::TogglePane(QDockWidget* pane) {
    if (IsPaneShown(pane))
        pane->close();
    else
        ShowPane(pane);
}

void CMainFrame::ApplyTreeOptions() {
    const COptionMgr& options = m_app.Options();
    TreeSetOptions(m_tree, options.GetOption(OPT_TREE_SORT_ALPHA) != 0, options.GetOption(OPT_TREE_DISPLAY_FB_PARAM) != 0,
                   options.GetOption(OPT_TREE_DBLCLK_OPEN_DIAG) != 0);
}

void CMainFrame::UpdateToolbars() {
    RUX_CMDIChildWnd* child = ActiveChild();
    // No view goes online before the online work exists, so a program view is always offline here.
    const CToolbarVisibility v = ToolbarsFor(m_mode, m_shell.mainToolbar != 0, child != nullptr, false, true);
    if (QToolBar* bar = Toolbar(128)) bar->setVisible(v.standard);
    if (QToolBar* bar = Toolbar(140)) bar->setVisible(v.debugging);
    if (QToolBar* bar = Toolbar(137)) bar->setVisible(m_shell.viewToolbar != 0);
    if (QAction* online = Action(ID_ONLINE)) online->setVisible(v.onlineButton);
    if (child) TreeSelectSection(m_tree, child->Document(), ViewCaretSection(child->View()));
}

void CMainFrame::ShowToolbarsForMode() {
    const bool main = m_shell.mainToolbar != 0;
    if (QToolBar* bar = Toolbar(128)) bar->setVisible(m_mode == EditMode && main);
    if (QToolBar* bar = Toolbar(140)) bar->setVisible(m_mode == DebugMode && main);
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
}

// --- commands --------------------------------------------------------------------------------

bool CMainFrame::RunCommand(int id) {
    const bool handled = m_router.Execute(id);
    UpdateCommandStates();
    return handled;
}

void CMainFrame::UpdateCommandStates() {
    if (m_closing) return;
    for (auto& [id, action] : m_actions) {
        const CCmdUI ui = m_router.Update(id);
        action->setEnabled(ui.enabled);
        if (ui.checkable) {
            action->setCheckable(true);
            action->setChecked(ui.checked);
        }
        if (!ui.text.empty()) action->setText(Ui(ui.text));
    }
}

int CMainFrame::PaneTheme() const {
    return CThemeTable::PaneTheme(m_theme);
}

void CMainFrame::ApplyTheme(int number, bool tellSuite) {
    m_theme = number;
    ApplyThemeLook(*qApp, number, CThemeTable::PaneTheme(number));
    m_mdi->setBackground(ToQColor(ThemeColors(number).workspace));
    SetViewLook(number);
    for (RUX_CMDIChildWnd* child : Children())
        if (auto* area = qobject_cast<QAbstractScrollArea*>(child->View())) area->viewport()->update();
    CThemeTable::Store(m_app.Settings(), number);
    if (tellSuite) m_app.Notifier().ThemeChanged(kEditorToolName);
    UpdateCommandStates();
}

bool CMainFrame::OnUpdateCommand(CCmdUI& ui) {
    COptionMgr& options = m_app.Options();
    auto option = [&](int number) {
        ui.Enable();
        ui.SetCheck(options.GetOption(number) != 0);
    };
    switch (ui.id) {
    case ID_VIEW_STATUS_BAR: ui.Enable(); ui.SetCheck(!statusBar()->isHidden()); return true;
    case ID_VIEW_MAIN_TOOLBAR: ui.Enable(); ui.SetCheck(m_shell.mainToolbar != 0); return true;
    case ID_VIEW_VIEW_TOOLBAR: ui.Enable(); ui.SetCheck(m_shell.viewToolbar != 0); return true;
    case ID_VIEW_SHOW_TREE: ui.Enable(); ui.SetCheck(IsPaneShown(m_workspacePane)); return true;
    case ID_VIEW_SHOW_OUTPUT: ui.Enable(); ui.SetCheck(IsPaneShown(m_outputPane)); return true;
    case ID_VIEW_LOG: ui.Enable(); return true;
    case ID_VIEW_TASK_MANAGER:
        ui.Enable(m_mode == DebugMode && m_taskManager && m_taskManager->NodeCount() > 0);
        ui.SetCheck(IsPaneShown(m_taskPane));
        return true;
    case ID_OPT_IMPORT_INFO: ui.Enable(); ui.SetCheck(m_shell.showImportInfo != 0); return true;
    case ID_OPT_BUILD_DIALOG: option(OPT_SHOW_BUILD_DIAG); return true;
    case ID_OPT_TREE_SORT: option(OPT_TREE_SORT_ALPHA); return true;
    case ID_OPT_TREE_FB_PARAMS: option(OPT_TREE_DISPLAY_FB_PARAM); return true;
    case ID_OPT_TREE_DBLCLK_DIAG: option(OPT_TREE_DBLCLK_OPEN_DIAG); return true;
    case ID_OPT_AUTO_INDENT: option(OPT_AUTO_INDENT); return true;
    case ID_OPT_DBLCLK_BREAKPOINT: option(OPT_DBLCLK_SET_BKP); return true;
    case ID_THEME_ZINC:
    case ID_THEME_TITANIUM:
    case ID_THEME_COBALT:
    case ID_THEME_TUNGSTEN:
        ui.Enable();
        ui.SetCheck(CThemeTable::FindByCommand(ui.id)->number == m_theme);
        return true;
    case ID_FILE_SAVE_ALL:
    case ID_WINDOW_LIST:
    case ID_KEY_INSERT:
    case ID_KEY_DELETE: ui.Enable(); return true;
    case ID_WINDOW_CASCADE:
    case ID_WINDOW_TILE_HORZ:
    case ID_WINDOW_TILE_VERT:
    case ID_WINDOW_CLOSE_ALL: ui.Enable(!Children().empty()); return true;
    default: return false;
    }
}

bool CMainFrame::OnCommand(int id) {
    COptionMgr& options = m_app.Options();
    switch (id) {
    case ID_VIEW_STATUS_BAR: statusBar()->setVisible(statusBar()->isHidden()); return true;
    case ID_VIEW_MAIN_TOOLBAR:
        m_shell.mainToolbar = m_shell.mainToolbar ? 0 : 1;
        UpdateToolbars();
        return true;
    case ID_VIEW_VIEW_TOOLBAR:
        m_shell.viewToolbar = m_shell.viewToolbar ? 0 : 1;
        UpdateToolbars();
        return true;
    case ID_VIEW_SHOW_TREE: TogglePane(m_workspacePane); return true;
    case ID_VIEW_SHOW_OUTPUT: TogglePane(m_outputPane); return true;
    case ID_VIEW_LOG:
        ShowPane(m_outputPane);
        m_buildBar->SelectTab(CBuildBar::kLogTab);
        return true;
    case ID_VIEW_TASK_MANAGER:
        if (IsPaneShown(m_taskPane)) {
            m_taskPane->close();
            options.SetOption(OPT_OPEN_TM_ONLINE, 0);
        } else {
            ShowPane(m_taskPane);
            options.SetOption(OPT_OPEN_TM_ONLINE, 1);
        }
        return true;
    case ID_OPT_IMPORT_INFO: m_shell.showImportInfo = m_shell.showImportInfo ? 0 : 1; return true;
    case ID_OPT_BUILD_DIALOG: options.Toggle(OPT_SHOW_BUILD_DIAG); return true;
    case ID_OPT_TREE_SORT:
        options.Toggle(OPT_TREE_SORT_ALPHA);
        ApplyTreeOptions();
        return true;
    case ID_OPT_TREE_FB_PARAMS:
        options.Toggle(OPT_TREE_DISPLAY_FB_PARAM);
        ApplyTreeOptions();
        return true;
    case ID_OPT_TREE_DBLCLK_DIAG:
        options.Toggle(OPT_TREE_DBLCLK_OPEN_DIAG);
        ApplyTreeOptions();
        return true;
    case ID_OPT_AUTO_INDENT: options.Toggle(OPT_AUTO_INDENT); return true;
    case ID_OPT_DBLCLK_BREAKPOINT: options.Toggle(OPT_DBLCLK_SET_BKP); return true;
    case ID_THEME_ZINC:
    case ID_THEME_TITANIUM:
    case ID_THEME_COBALT:
    case ID_THEME_TUNGSTEN: ApplyTheme(CThemeTable::FindByCommand(id)->number, true); return true;
    case ID_FILE_SAVE_ALL:
        for (const auto& document : m_app.ProgramTemplate().Documents())
            if (document->IsModified() && !document->SaveDocument())
                RuxMessageBox(this, tr("%1 could not be saved.").arg(FromFileName(document->GetPathName())));
        return true;
    case ID_WINDOW_CASCADE: m_mdi->cascadeSubWindows(); return true;
    case ID_WINDOW_TILE_HORZ:
    case ID_WINDOW_TILE_VERT: {
        // QMdiArea tiles in a grid; stack the windows one way or the other as the entries say.
        const auto children = Children();
        if (children.empty()) return true;
        const QRect area = m_mdi->viewport()->rect();
        const int n = static_cast<int>(children.size());
        for (int i = 0; i < n; ++i) {
            children[i]->showNormal();
            if (id == ID_WINDOW_TILE_HORZ)
                children[i]->setGeometry(0, area.height() * i / n, area.width(), area.height() / n);
            else
                children[i]->setGeometry(area.width() * i / n, 0, area.width() / n, area.height());
        }
        return true;
    }
    case ID_WINDOW_CLOSE_ALL: m_mdi->closeAllSubWindows(); return true;
    case ID_WINDOW_LIST: ShowWindowList(); return true;
    case ID_KEY_INSERT:
        // With a view the view takes the key first; this is the frame without one.
        OverwriteFlag() = !OverwriteFlag();
        UpdateIndicators();
        return true;
    case ID_KEY_DELETE:
        if (m_router.Target(CCommandRouter::kTree)) return m_router.Target(CCommandRouter::kTree)->OnCommand(ID_TREE_DELETE_ITEM);
        if (RUX_CMDIChildWnd* child = ActiveChild()) RunViewCommand(child->View(), ID_EDIT_DELETE);
        return true;
    default: return false;
    }
}

void CMainFrame::ShowWindowList() {
    const auto children = Children();
    if (children.empty()) return;
    QStringList names;
    int current = 0;
    for (size_t i = 0; i < children.size(); ++i) {
        names << children[i]->windowTitle();
        if (children[i] == ActiveChild()) current = static_cast<int>(i);
    }
    bool ok = false;
    const QString chosen = QInputDialog::getItem(this, QString::fromUtf8(LoadString(IDS_WINDOWS_LIST)), tr("&Select window:"),
                                                 names, current, false, &ok);
    if (!ok) return;
    const int index = static_cast<int>(names.indexOf(chosen));
    if (index >= 0) m_mdi->setActiveSubWindow(children[static_cast<size_t>(index)]);
}

// --- notifications ---------------------------------------------------------------------------

namespace {

// On the bus's thread: the message travels to the user-interface thread with its own file name and
// line data, so a newer message cannot change what an older one's handler reads.
void OnBusMessage(int32_t number, const char* fileName, const char* lineData, void* context) {
    static_cast<CMainFrame*>(context)->PostSuiteMessage(number, fileName, lineData);
}

} // namespace

bool CMainFrame::RegisterOnBus() {
    m_onBus = m_app.Notifier().RegisterTool(kEditorToolName, &OnBusMessage, this);
    return m_onBus;
}

void CMainFrame::UnregisterFromBus() {
    if (!m_onBus) return;
    m_app.Notifier().UnregisterTool(kEditorToolName);
    m_onBus = false;
}

void CMainFrame::PostSuiteMessage(int number, const std::string& fileName, const std::string& lineData) {
    QCoreApplication::postEvent(this, new CSuiteEvent(number, fileName, lineData));
}

bool CMainFrame::event(QEvent* event) {
    if (event->type() == CSuiteEvent::kType) {
        const auto* e = static_cast<CSuiteEvent*>(event);
        HandleSuiteMessage(e->number, e->fileName, e->lineData);
        return true;
    }
    return QMainWindow::event(event);
}

void CMainFrame::HandleSuiteMessage(int number, const std::string& fileName, const std::string& lineData) {
    for (const auto& extension : m_extensions)
        if (extension->OnSuiteMessage(number, fileName, lineData)) return;
    switch (number) {
    case 1226: RuxMessageBox(this, Ui(fileName)); break;
    case 1232:
        // A second editor wants this one in front: a minimised frame comes back as it was.
        if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
        raise();
        activateWindow();
        break;
    case 1524: {
        const int line = FirstLineNumber(lineData);
        if (line >= 0) GoToErrorLocation(fileName, {line, -1, -1});
        break;
    }
    case 1525: {
        const CErrorLocation location = ParseErrorLineData(lineData);
        if (fileName.find_first_of("/\\") != std::string::npos || fileName.empty()) {
            GoToErrorLocation(fileName, location);
            break;
        }
        // A bare file name: every open document of that name gets the jump.
        std::vector<std::string> paths;
        for (const auto& document : m_app.ProgramTemplate().Documents())
            if (ErrorFileNames(document->GetPathName(), fileName)) paths.push_back(document->GetPathName());
        for (const std::string& path : paths) GoToErrorLocation(path, location);
        break;
    }
    case 1729: ForwardToChildren(number, fileName); break;
    case 1731: OpenAndMaximise(fileName); break;
    case 1733:
        SaveShellSettings();
        CloseAllWithoutAsking();
        break;
    case 1737: ShowOutputPane(); break;
    case 1747: ApplyTheme(CThemeTable::Load(m_app.Settings()), false); break;
    case 1750: {
        if (lineData.empty()) break;
        const CErrorLocation location = ParseErrorLineData(lineData);
        if (location.line >= 0) GoToErrorLocation(fileName, location);
        break;
    }
    case 1753:
        if (CRUXDocument* open = m_app.ProgramTemplate().FindDocument(fileName)) {
            if (RUX_CMDIChildWnd* child = ChildOf(*open)) m_mdi->setActiveSubWindow(child);
        } else if (!fileName.empty() && std::filesystem::exists(fileName)) {
            m_app.OpenDocumentFile(fileName);
        }
        break;
    default: break; // the numbers of features still to come carry nothing here yet
    }
}

void CMainFrame::ForwardToChildren(int, const std::string& fileName) {
    // The suite changed a program's header or group: the titles of the programs it names (all of
    // them without a name) are composed again.
    for (const auto& document : m_app.ProgramTemplate().Documents())
        if (fileName.empty() || ErrorFileNames(document->GetPathName(), fileName) ||
            document->GetPathName() == fileName)
            document->SetTitle();
}

void CMainFrame::OpenAndMaximise(const std::string& path) {
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
    const bool hadDocument = !Children().empty();
    if (path.empty()) return;
    m_app.OpenDocumentFile(path);
    if (!hadDocument)
        if (RUX_CMDIChildWnd* child = ActiveChild()) child->showMaximized();
}

void CMainFrame::CloseAllWithoutAsking() {
    for (RUX_CMDIChildWnd* child : Children()) child->CloseWithoutAsking();
}

bool CMainFrame::GoToErrorLocation(const std::string& fileName, const CErrorLocation& location) {
    RUX_CMDIChildWnd* child = nullptr;
    if (!fileName.empty()) {
        CRUXDocument* document = m_app.ProgramTemplate().FindDocument(fileName);
        if (!document) {
            std::error_code ec;
            if (!std::filesystem::is_regular_file(fileName, ec)) return false;
            document = m_app.OpenDocumentFile(fileName);
        }
        if (!document) return false;
        child = ChildOf(*document);
        if (child) m_mdi->setActiveSubWindow(child);
    } else {
        child = ActiveChild();
    }
    if (!child) return false;
    child->View()->setFocus();
    const int index = MarkErrorLine(child->Document(), location.line);
    if (index < 0) return false;
    // A text line gets no selection; the caret stands where the reported text starts, which is where
    // the user looks first. A line past the end went to the last line, where the column means nothing.
    ViewGoToItem(child->View(), index, index == location.line && location.start > 0 ? location.start : 1);
    SetPaneText(kPanePosition, ViewPositionText(child->View()));
    return true;
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
    return QMainWindow::eventFilter(watched, event);
}

} // namespace rux
