// How the frame reaches the program view and the program tree: one place that knows their classes.
#pragma once

#include <QWidget>

#include <functional>

namespace rux {

class CEditSession;
class CIniFile;
class COptionMgr;
class CRUXDocument;
struct CCmdUI;

// What a view tells the frame.
struct CViewHooks {
    std::function<void(const QString& position)> position;
    std::function<void()> commandState;
    std::function<void(const QPoint& globalPos)> contextMenu;
    std::function<void(bool overwrite)> overwrite;
    // The caret went into another section (its header index, -1 outside any).
    std::function<void(int headerIndex)> caretSection;
};

// What the tree asks of the frame.
struct CTreeHooks {
    std::function<void(CRUXDocument* document, int item, bool openDiagram)> goToItem;
    std::function<void(int menu, CRUXDocument* document, int item, const QPoint& globalPos)> contextMenu;
    std::function<void(CRUXDocument* document, int kind, int item)> deleteNode;
};

// The views share the application's options and one overwrite flag.
// Null goes back to the views' own defaults (when the application goes).
void BindViewEnvironment(COptionMgr* options);
bool& OverwriteFlag();
// Every program view is drawn in the look of this theme number from now on (repaint them after).
void SetViewLook(int themeNumber);

// --- program view ---------------------------------------------------------------------------
QWidget* CreateProgramView(CRUXDocument& document, QWidget* parent);
void ConnectProgramView(QWidget* view, QObject* context, const CViewHooks& hooks);
// True when the view handles the id, with its state filled.
bool UpdateViewCommand(QWidget* view, CCmdUI& ui);
bool RunViewCommand(QWidget* view, int id);
// Caret to a column (from 1) of the item, unfolding what hides it, and into view.
void ViewGoToItem(QWidget* view, int index, int column = 1);
// The view's editing session (null for another widget), and a core command run on it as a view
// command runs: caret shown, bars and rows updated.
CEditSession* ViewSession(QWidget* view);
bool ViewRunAction(QWidget* view, const std::function<bool(CEditSession&)>& action);
// "Ln %d, Col %d" of the view's caret; empty when the view shows none.
QString ViewPositionText(QWidget* view);
// The header index of the section holding the view's caret; -1 outside any or for another widget.
int ViewCaretSection(QWidget* view);

// --- program tree ---------------------------------------------------------------------------
QWidget* CreateProgramTree(QWidget* parent);
void ConnectProgramTree(QWidget* tree, QObject* context, const CTreeHooks& hooks);
void TreeSetOptions(QWidget* tree, bool sortAlphabetically, bool showFbParameters, bool openDiagramOnDoubleClick);
// The selection follows the active program and the section of its caret (-1: the program node).
void TreeSelectSection(QWidget* tree, CRUXDocument& document, int headerIndex);
void TreeAddDocument(QWidget* tree, CRUXDocument& document);
void TreeRemoveDocument(QWidget* tree, CRUXDocument& document);
// The program names as the tree lists them, one a line (tests).
QString TreeText(QWidget* tree);

} // namespace rux
