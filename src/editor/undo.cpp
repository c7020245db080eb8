#include "editor/undo.h"

#include "document/header_item.h"
#include "document/item.h"
#include "document/item_list.h"

namespace rux {
namespace {

// Puts the snapshot's content back into the item standing at its place.
void RestoreContent(CItem& target, const CItem& snapshot) {
    if (target.GetType() == kItemPar)
        static_cast<CPar&>(target).Header() = static_cast<const CPar&>(snapshot).Header();
    else
        target.SetText(snapshot.GetText());
}

} // namespace

void CUndo::RecordAction(int kind, const CItem& item, int col, int index) {
    RecordActionAt(m_actions.size(), kind, item, col, index);
}

void CUndo::RecordActionAt(size_t position, int kind, const CItem& item, int col, int index) {
    CUndoAction action;
    action.kind = kind;
    action.col = col;
    action.item = index;
    action.snapshot = item.Clone();
    if (!action.snapshot)
        return;
    if (position > m_actions.size())
        position = m_actions.size();
    m_actions.insert(m_actions.begin() + static_cast<std::ptrdiff_t>(position), std::move(action));
}

void CUndoHistory::Push(List& list, std::unique_ptr<CUndo> group) {
    list.push_front(std::move(group));
    while (list.size() > kLimit)
        list.pop_back();
}

CUndo& CUndoHistory::BeginUndoGroup(CTextPos caret) {
    // Until the group records something it may still be dropped, and then the redo list and the
    // oldest group the limit pushed out must come back: a command that changed nothing keeps Redo.
    m_evicted.reset();
    m_undo.push_front(std::make_unique<CUndo>(caret));
    if (m_undo.size() > kLimit) {
        m_evicted = std::move(m_undo.back());
        m_undo.pop_back();
    }
    m_stashedRedo = std::move(m_redo);
    m_redo.clear();
    m_headOpen = true;
    return *m_undo.front();
}

void CUndoHistory::DropEmptyHead() {
    if (m_headOpen && !m_undo.empty() && m_undo.front()->IsEmpty()) {
        m_undo.pop_front();
        if (m_evicted)
            m_undo.push_back(std::move(m_evicted));
        m_redo = std::move(m_stashedRedo);
    } else if (!m_undo.empty() && m_undo.front()->IsEmpty()) {
        m_undo.pop_front();
    }
    m_evicted.reset();
    m_stashedRedo.clear();
}

void CUndoHistory::Clear() {
    m_undo.clear();
    m_redo.clear();
    m_stashedRedo.clear();
    m_evicted.reset();
    m_headOpen = false;
}

bool CUndoHistory::Apply(CObArrayEx& items, List& from, List& to, CTextPos currentCaret, CTextPos& caretOut) {
    if (from.empty())
        return false;
    std::unique_ptr<CUndo> group = std::move(from.front());
    from.pop_front();
    auto inverse = std::make_unique<CUndo>(currentCaret);

    for (auto it = group->m_actions.rbegin(); it != group->m_actions.rend(); ++it) {
        CUndoAction& action = *it;
        const int index = action.item;
        const bool present = index >= 0 && index < items.GetSize();
        switch (action.kind) {
        case kUndoChanged:
            if (present && items.GetAt(index)->GetType() == action.snapshot->GetType()) {
                CItem* target = items.GetAt(index);
                inverse->RecordAction(kUndoChanged, *target, action.col, index);
                RestoreContent(*target, *action.snapshot);
            }
            break;
        case kUndoDeleted: {
            std::unique_ptr<CItem> restored = action.snapshot->Clone();
            if (!restored)
                break;
            const int at = index < 0 ? 0 : (index > items.GetSize() ? items.GetSize() : index);
            inverse->RecordAction(kUndoInserted, *restored, action.col, at);
            items.Insert(at, std::move(restored));
            break;
        }
        case kUndoInserted:
            if (present && items.GetAt(index)->GetType() == action.snapshot->GetType()) {
                inverse->RecordAction(kUndoDeleted, *items.GetAt(index), action.col, index);
                items.Remove(index, 1); // handed back and deleted here
            }
            break;
        default:
            break;
        }
        action.snapshot.reset();
    }
    // Clones carry section ids, not links: link every member to its header again.
    items.RelinkSections();
    items.Layout(0, true);
    caretOut = group->m_caret;
    Push(to, std::move(inverse));
    return true;
}

bool CUndoHistory::Undo(CObArrayEx& items, CTextPos currentCaret, CTextPos& caretOut) {
    m_headOpen = false;
    return Apply(items, m_undo, m_redo, currentCaret, caretOut);
}

bool CUndoHistory::Redo(CObArrayEx& items, CTextPos currentCaret, CTextPos& caretOut) {
    m_headOpen = false;
    return Apply(items, m_redo, m_undo, currentCaret, caretOut);
}

} // namespace rux
