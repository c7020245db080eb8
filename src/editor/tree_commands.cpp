#include "editor/tree_commands.h"

#include "document/diagram_item.h"
#include "document/item_list.h"
#include "document/rux_document.h"
#include "document/section_items.h"
#include "editor/edit_session.h"
#include "editor/go_to_line.h"
#include "editor/program_tree.h"
#include "editor/section_commands.h"
#include "shell/command_ids.h"

namespace rux {
namespace {

const CSectionHeader* HeaderAt(const CRUXDocument& document, int item) {
    const CObArrayEx& items = document.Items();
    if (item < 0 || item >= items.GetSize() || items.GetAt(item)->GetType() != kItemSectionHeader) return nullptr;
    return static_cast<const CSectionHeader*>(items.GetAt(item));
}

const CDiag* DiagramAt(const CRUXDocument& document, int item) {
    const CObArrayEx& items = document.Items();
    if (item < 0 || item >= items.GetSize() || items.GetAt(item)->GetType() != kItemDiag) return nullptr;
    return static_cast<const CDiag*>(items.GetAt(item));
}

CTreeCommandPlan Plan(ETreeAction action, int item, int viewCommand = 0, bool edits = false) {
    return CTreeCommandPlan{action, item, viewCommand, edits};
}

// The program node's menu: commands of the whole program, at the view's caret.
CTreeCommandPlan PlanProgram(int id) {
    switch (id) {
    case ID_TREE_BUILD: return Plan(ETreeAction::Forward, -1, ID_BUILD);
    case ID_TREE_BUILD_DOWNLOAD: return Plan(ETreeAction::Forward, -1, ID_BUILD_DOWNLOAD);
    case ID_TREE_INSERT_SECTION: return Plan(ETreeAction::Forward, -1, ID_INSERT_SECTION, true);
    case ID_TREE_INSERT_UDFB: return Plan(ETreeAction::Forward, -1, ID_INSERT_UDFB, true);
    case ID_TREE_INSERT_NOTES: return Plan(ETreeAction::Forward, -1, ID_INSERT_NOTES, true);
    case ID_TREE_INSERT_ALIAS: return Plan(ETreeAction::Forward, -1, ID_INSERT_ALIAS, true);
    // The node properties dialog opens from the header row only, through no command the tree could
    // send: shown disabled until the view offers one.
    case ID_TREE_PROPERTIES: return {};
    case ID_TREE_DESCRIPTION: return Plan(ETreeAction::Forward, -1, ID_NODE_DESCRIPTION);
    case ID_TREE_REFERENCED_LIBRARIES: return Plan(ETreeAction::Forward, -1, ID_REFERENCED_LIBRARIES);
    default: return {};
    }
}

CTreeCommandPlan PlanSection(const CSectionHeader& header, int item, int id) {
    const bool fb = header.IsFunctionBlock();
    switch (id) {
    case ID_TREE_GOTO_SECTION: return fb ? CTreeCommandPlan{} : Plan(ETreeAction::GoTo, item);
    case ID_TREE_GOTO_FB: return fb ? Plan(ETreeAction::GoTo, item) : CTreeCommandPlan{};
    case ID_TREE_TOGGLE_FB: return fb ? Plan(ETreeAction::ToggleFold, item) : CTreeCommandPlan{};
    case ID_TREE_TOGGLE_SECTION: return fb ? CTreeCommandPlan{} : Plan(ETreeAction::ToggleFold, item);
    case ID_TREE_DELETE: return Plan(ETreeAction::Delete, item, 0, true);
    // New sections go above the node's section; diagrams into it.
    case ID_TREE_INSERT_SECTION: return Plan(ETreeAction::Forward, item, ID_INSERT_SECTION, true);
    case ID_TREE_INSERT_UDFB: return Plan(ETreeAction::Forward, item, ID_INSERT_UDFB, true);
    case ID_TREE_INSERT_NOTES: return Plan(ETreeAction::Forward, item, ID_INSERT_NOTES, true);
    case ID_TREE_INSERT_ALIAS: return Plan(ETreeAction::Forward, item, ID_INSERT_ALIAS, true);
    case ID_TREE_INSERT_FBD: return Plan(ETreeAction::Forward, item, ID_INSERT_FBD, true);
    case ID_TREE_INSERT_QLD: return Plan(ETreeAction::Forward, item, ID_INSERT_QLD, true);
    // The properties of a function block: its description, help link and library visibility.
    case ID_TREE_PROPERTIES: return fb ? Plan(ETreeAction::Forward, item, ID_FB_PROPERTIES) : CTreeCommandPlan{};
    default: return {};
    }
}

CTreeCommandPlan PlanDiagram(const CDiag& diagram, int item, int id) {
    switch (id) {
    case ID_TREE_GOTO_DIAGRAM: return Plan(ETreeAction::GoTo, item);
    case ID_TREE_EXPAND_DIAGRAM: return diagram.IsOpen() ? CTreeCommandPlan{} : Plan(ETreeAction::OpenPreview, item);
    case ID_TREE_COLLAPSE_DIAGRAM: return diagram.IsOpen() ? Plan(ETreeAction::ClosePreview, item) : CTreeCommandPlan{};
    case ID_TREE_DELETE: return Plan(ETreeAction::Delete, item, 0, true);
    // Diagram windows come with the diagram views; until then Open and Close stay disabled.
    case ID_TREE_OPEN_DIAGRAM:
    case ID_TREE_CLOSE_DIAGRAM: return {};
    case ID_TREE_EDIT_DIAGRAM_TITLE: return Plan(ETreeAction::Forward, item, ID_EDIT_DIAGRAM_TITLE, true);
    default: return {};
    }
}

} // namespace

CTreeCommandPlan PlanTreeCommand(const CRUXDocument& document, int nodeKind, int item, int commandId) {
    switch (nodeKind) {
    case kTreeNodeProgram: return PlanProgram(commandId);
    case kTreeNodeSection:
        if (const CSectionHeader* header = HeaderAt(document, item)) return PlanSection(*header, item, commandId);
        return {};
    case kTreeNodeDiagram:
        if (const CDiag* diagram = DiagramAt(document, item)) return PlanDiagram(*diagram, item, commandId);
        return {};
    default: return {};
    }
}

int TreeNodeLastItem(const CRUXDocument& document, int item) {
    const CSectionHeader* header = HeaderAt(document, item);
    if (!header) return item;
    const CObArrayEx& items = document.Items();
    int last = item;
    for (int j = item + 1; j < items.GetSize(); ++j) {
        const CItem* member = items.GetAt(j);
        if (member->GetType() == kItemSectionHeader || member->GetSection() != header) break;
        last = j;
        if (member->GetType() == kItemSectionFooter) break;
    }
    return last;
}

bool RunTreeAction(CEditSession& session, const CTreeCommandPlan& plan) {
    CRUXDocument& document = session.Document();
    const CObArrayEx& items = document.Items();
    if (plan.item < 0 || plan.item >= items.GetSize()) return false;
    switch (plan.action) {
    case ETreeAction::GoTo: {
        // The user asked for the row: opening its section is a fold of the user's.
        const bool unfolded = RevealItem(document, plan.item, true);
        const bool moved = session.Caret().item != plan.item || session.Caret().col != 1 || session.HasSelection();
        session.SetCaret({1, plan.item});
        return moved || unfolded;
    }
    case ETreeAction::ToggleFold:
    case ETreeAction::OpenPreview:
    case ETreeAction::ClosePreview:
        if (plan.action != ETreeAction::ToggleFold) {
            const CDiag* diagram = DiagramAt(document, plan.item);
            if (!diagram || diagram->IsOpen() == (plan.action == ETreeAction::OpenPreview)) return false;
        }
        session.SetCaret({1, plan.item});
        return ToggleFold(session);
    case ETreeAction::Delete: {
        const int last = TreeNodeLastItem(document, plan.item);
        if (!session.BeginEdit()) return false;
        // The caret goes where the node was, so that Undo brings it back in front of the user.
        session.SetCaretInEdit({1, plan.item});
        for (int i = last; i >= plan.item; --i) session.RemoveItem(i);
        session.SetCaretInEdit({1, std::min(plan.item, items.GetSize() - 1)});
        session.EndEdit();
        return true;
    }
    case ETreeAction::None:
    case ETreeAction::Forward: return false;
    }
    return false;
}

} // namespace rux
