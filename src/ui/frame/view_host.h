// How the frame reaches the program view and the program tree: one place that knows their classes.
#pragma once

#include <QWidget>

namespace rux {

class CRUXDocument;
struct CCmdUI;

// --- program view ---------------------------------------------------------------------------
QWidget* CreateProgramView(CRUXDocument& document, QWidget* parent);
// True when the view handles the id, with its state filled.
bool UpdateViewCommand(QWidget* view, CCmdUI& ui);
bool RunViewCommand(QWidget* view, int id);
// Caret to column 1 of the item, unfolding what hides it, and into view.
void ViewGoToItem(QWidget* view, int index);
// "Ln %d, Col %d" of the view's caret; empty when the view shows none.
QString ViewPositionText(QWidget* view);

// --- program tree ---------------------------------------------------------------------------
QWidget* CreateProgramTree(QWidget* parent);
void TreeAddDocument(QWidget* tree, CRUXDocument& document);
void TreeRemoveDocument(QWidget* tree, CRUXDocument& document);
void TreeRefresh(QWidget* tree, CRUXDocument& document);
// The program names as the tree lists them, one a line (tests).
QString TreeText(QWidget* tree);

} // namespace rux
