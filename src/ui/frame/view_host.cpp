// The frame's one door to the program view and the program tree.
#include "frame/view_host.h"

#include "document/rux_document.h"
#include "panes/tree_bar.h"
#include "shell/command_router.h"
#include "view/rux_view.h"
#include "view/view_environment.h"

#include <QStringList>

namespace rux {
namespace {

CRUXView* AsView(QWidget* view) {
    return qobject_cast<CRUXView*>(view);
}

CTreeBar* AsTree(QWidget* tree) {
    return qobject_cast<CTreeBar*>(tree);
}

} // namespace

void BindViewEnvironment(COptionMgr* options) {
    CViewEnvironment::Default().UseOptions(options);
}

void SetViewLook(int themeNumber) {
    CViewEnvironment::Default().UseLook(ThemeColors(themeNumber));
}

bool& OverwriteFlag() {
    return CViewEnvironment::Default().Overwrite();
}

QWidget* CreateProgramView(CRUXDocument& document, QWidget* parent) {
    return new CRUXView(document, parent);
}

void ConnectProgramView(QWidget* widget, QObject* context, const CViewHooks& hooks) {
    CRUXView* view = AsView(widget);
    if (!view) return;
    if (hooks.position) QObject::connect(view, &CRUXView::positionTextChanged, context, hooks.position);
    if (hooks.commandState) QObject::connect(view, &CRUXView::commandStateChanged, context, hooks.commandState);
    if (hooks.contextMenu) QObject::connect(view, &CRUXView::contextMenuRequested, context, hooks.contextMenu);
    if (hooks.overwrite) QObject::connect(view, &CRUXView::overwriteChanged, context, hooks.overwrite);
    if (hooks.caretSection) QObject::connect(view, &CRUXView::caretSectionChanged, context, hooks.caretSection);
}

bool UpdateViewCommand(QWidget* widget, CCmdUI& ui) {
    const CRUXView* view = AsView(widget);
    if (!view) return false;
    bool enabled = false, checked = false;
    if (!view->UpdateCommand(ui.id, enabled, checked)) return false;
    ui.Enable(enabled);
    if (checked) ui.SetCheck(true);
    return true;
}

bool RunViewCommand(QWidget* widget, int id) {
    CRUXView* view = AsView(widget);
    return view && view->OnCommand(id);
}

void ViewGoToItem(QWidget* widget, int index, int column) {
    if (CRUXView* view = AsView(widget)) view->GoToItem(index, column);
}

CEditSession* ViewSession(QWidget* widget) {
    CRUXView* view = AsView(widget);
    return view ? &view->Session() : nullptr;
}

bool ViewRunAction(QWidget* widget, const std::function<bool(CEditSession&)>& action) {
    CRUXView* view = AsView(widget);
    if (!view) return false;
    bool done = false;
    view->RunSessionCommand([&](CEditSession& session) { done = action(session); });
    return done;
}

QString ViewPositionText(QWidget* widget) {
    const CRUXView* view = AsView(widget);
    return view ? view->PositionText() : QString();
}

int ViewCaretSection(QWidget* widget) {
    const CRUXView* view = AsView(widget);
    return view ? view->CaretSection() : -1;
}

QWidget* CreateProgramTree(QWidget* parent) {
    return new CTreeBar(parent);
}

void ConnectProgramTree(QWidget* widget, QObject* context, const CTreeHooks& hooks) {
    CTreeBar* tree = AsTree(widget);
    if (!tree) return;
    if (hooks.goToItem) QObject::connect(tree, &CTreeBar::goToItem, context, hooks.goToItem);
    if (hooks.contextMenu) QObject::connect(tree, &CTreeBar::contextMenuRequested, context, hooks.contextMenu);
    if (hooks.deleteNode) QObject::connect(tree, &CTreeBar::deleteRequested, context, hooks.deleteNode);
}

void TreeSetOptions(QWidget* widget, bool sortAlphabetically, bool showFbParameters, bool openDiagramOnDoubleClick) {
    CTreeBar* tree = AsTree(widget);
    if (!tree) return;
    tree->SetSortAlphabetically(sortAlphabetically);
    tree->SetShowFbParameters(showFbParameters);
    tree->SetOpenDiagramOnDoubleClick(openDiagramOnDoubleClick);
}

void TreeSelectSection(QWidget* widget, CRUXDocument& document, int headerIndex) {
    if (CTreeBar* tree = AsTree(widget)) tree->SelectNode(document, headerIndex);
}

void TreeAddDocument(QWidget* widget, CRUXDocument& document) {
    if (CTreeBar* tree = AsTree(widget)) tree->AddDocument(document);
}

void TreeRemoveDocument(QWidget* widget, CRUXDocument& document) {
    if (CTreeBar* tree = AsTree(widget)) tree->RemoveDocument(document);
}

QString TreeText(QWidget* widget) {
    const CTreeBar* tree = AsTree(widget);
    if (!tree) return {};
    // Program nodes are the workspace's children: indented by exactly one level.
    QString text;
    for (const QString& line : tree->Dump().split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("  ")) && !line.startsWith(QLatin1String("   "))) text += line.mid(2) + "\n";
    return text;
}

} // namespace rux
