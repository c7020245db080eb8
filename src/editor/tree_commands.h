// The commands of the program tree's context menus: which of them fit a node, and what each one does
// to the node's program. The tree only picks the node; the work is done here or by the view command
// of the same meaning.
#pragma once

#include "shell/command_ids.h" // ID_TREE_BUILD and ID_TREE_BUILD_DOWNLOAD

namespace rux {

class CEditSession;
class CRUXDocument;

enum ETreeCommandId : int {
    ID_TREE_GOTO_SECTION = 32817,       // "Go to Task/Section"
    ID_TREE_GOTO_FB = 32818,            // "Go to Function Block"
    ID_TREE_TOGGLE_FB = 32819,          // "Expand and Collapse Function Block"
    ID_TREE_TOGGLE_SECTION = 32820,     // "Collapse and Expand Task/Section"
    ID_TREE_INSERT_SECTION = 32821,     // "Insert Task / Section"
    ID_TREE_INSERT_UDFB = 32822,        // "Insert User Defined Function Block"
    ID_TREE_INSERT_NOTES = 32823,       // "Insert Notes"
    ID_TREE_INSERT_ALIAS = 32824,       // "Insert Alias"
    ID_TREE_INSERT_FBD = 32825,         // "Insert LD/FBD diagram"
    ID_TREE_INSERT_QLD = 32826,         // "Insert Quick LD diagram"
    ID_TREE_PROPERTIES = 32827,         // "Properties"
    ID_TREE_GOTO_DIAGRAM = 32828,       // "Go to Diagram Preview"
    ID_TREE_DELETE = 32832,             // "Delete" (also the Delete key while the tree has the focus)
    ID_TREE_OPEN_DIAGRAM = 32839,       // "Open Diagram"
    ID_TREE_EXPAND_DIAGRAM = 32840,     // "Expand Diagram"
    ID_TREE_COLLAPSE_DIAGRAM = 32841,   // "Collapse Diagram"
    ID_TREE_CLOSE_DIAGRAM = 32842,      // "Close Diagram"
    ID_TREE_DESCRIPTION = 32878,        // "Description..."
    ID_TREE_REFERENCED_LIBRARIES = 32879, // "Referenced Libraries..."
    ID_TREE_EDIT_DIAGRAM_TITLE = 32843, // "Edit Diagram Title", sent on as ID_EDIT_DIAGRAM_TITLE
};

enum class ETreeAction {
    None,         // the command does not fit the node, or its feature is not there: shown disabled
    GoTo,         // the caret to the node's item, unfolding what hides it
    ToggleFold,   // folds or unfolds the node's section
    OpenPreview,  // shows the node's diagram preview in the text
    ClosePreview, // hides it
    Delete,       // removes the node's section (header to footer) or diagram as one undo step
    Forward,      // the caret to `item` (when there is one), then the view command `viewCommand`
};

struct CTreeCommandPlan {
    ETreeAction action = ETreeAction::None;
    // Where the caret goes first; -1 leaves it where it is (commands on the program node).
    int item = -1;
    int viewCommand = 0;
    // The command changes the program: refused while the program is read-only or its view online.
    bool edits = false;
};

// What `commandId` does on the node of kind `nodeKind` (ETreeNodeKind) for item `item` (-1 for the
// program node). A command of another menu, or one whose item is not what its menu expects, plans
// nothing.
CTreeCommandPlan PlanTreeCommand(const CRUXDocument& document, int nodeKind, int item, int commandId);

// Runs the actions that need no view command (GoTo, ToggleFold, the previews, Delete) on the node's
// program; true when something changed. Forward and None do nothing here.
bool RunTreeAction(CEditSession& session, const CTreeCommandPlan& plan);

// The last item of a section node's section (its footer, or the last member when the footer is
// missing), or `item` itself for a diagram.
int TreeNodeLastItem(const CRUXDocument& document, int item);

} // namespace rux
