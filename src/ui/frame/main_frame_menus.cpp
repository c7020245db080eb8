#include "frame/main_frame.h"

#include "app/rux_app.h"
#include "cp1252.h"
#include "document/string_table.h"
#include "editor/accel_mgr.h"
#include "file_names.h"
#include "frame/mdi_child.h"
#include "frame/templates_menu.h"
#include "frame/themes.h"
#include "resources/menus.h"
#include "shell/command_ids.h"
#include "shell/theme.h"
#include "themed_icon.h"
#include "virtual_keys.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMdiArea>
#include <QMenuBar>

#include <set>

namespace rux {

namespace {

QString MenuText(int id) {
    return QString::fromUtf8(LoadMenuString(id));
}

} // namespace

QAction* CMainFrame::MakeAction(int id) {
    if (QAction* existing = Action(id)) return existing;
    QString text = MenuText(id);
    const int tab = text.indexOf('\t');
    auto* action = new QAction(tab >= 0 ? text.left(tab) : text, this);
    action->setObjectName(QString("cmd%1").arg(id));
    action->setData(id);
    // The key named after the tab is shown by the menus while no shortcut of the frame's shows it.
    if (tab >= 0) action->setProperty("keyText", text.mid(tab + 1));
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
    for (const CToolbarDef& bar : Toolbars())
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
                action->setText(FromCp1252(item.menuName));
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
        // Commands the view or the tree runs by key (Tab, Delete, the tree's build entries) have no
        // shortcut here: their menu entries still name the key.
        if (const QString keyText = action->property("keyText").toString(); !keyText.isEmpty()) {
            const QString caption = action->text().section('\t', 0, 0);
            action->setText(action->shortcut().isEmpty() ? caption + '\t' + keyText : caption);
        }
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
        action->setText(FromCp1252(item.text));
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
    // The frame's layout shows a new bar only when it next runs; a program window maximised before
    // then finds no visible bar for its buttons and keeps an empty caption above the program.
    if (isVisible()) menuBar()->show();
    ApplyShortcuts();
}
} // namespace rux
