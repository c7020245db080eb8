#include "editor/undo.h"

#include "document/document_observer.h"
#include "document/item.h"
#include "document/item_list.h"
#include "document/rux_document.h"

#include <unordered_map>
#include <unordered_set>

namespace rux {

void CUndo::RecordAction(int kind, const CItem& item, int col, int index) {
    RecordActionAt(m_actions.size(), kind, item, col, index);
}

void CUndo::RecordActionAt(size_t position, int kind, const CItem& item, int col, int index) {
    CUndoAction action;
    action.kind = kind;
    action.col = col;
    action.item = index;
    action.id = item.GetId();
    if (kind != kUndoInserted) {
        action.snapshot = item.Clone();
        if (!action.snapshot)
            return;
    }
    if (position > m_actions.size())
        position = m_actions.size();
    m_actions.insert(m_actions.begin() + static_cast<std::ptrdiff_t>(position), std::move(action));
}

void CUndo::KeepRemoved(int index, uint32_t before, std::vector<std::unique_ptr<CItem>>& items, int col) {
    m_actions.reserve(m_actions.size() + items.size());
    for (size_t i = items.size(); i-- > 0;) {
        std::unique_ptr<CItem>& item = items[i];
        if (!item)
            continue;
        CUndoAction& action = m_actions.emplace_back();
        action.kind = kUndoDeleted;
        action.col = col;
        action.item = index + static_cast<int>(i);
        action.id = item->GetId();
        action.before = i > 0 && items[i - 1] ? items[i - 1]->GetId() : before;
        // Its section header may go before the group does: only the id is kept.
        item->SetSectionId(item->GetSectionId());
        action.snapshot = std::move(item);
    }
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

void CUndoHistory::Remap(const CDocumentChange& change) {
    auto remap = [&](CUndo& group) {
        if (MapItemIndex(group.m_caret.item, change))
            group.m_caret.col = 1;
        for (CUndoAction& action : group.m_actions)
            MapItemIndex(action.item, change);
    };
    for (List* list : {&m_undo, &m_redo, &m_stashedRedo})
        for (auto& group : *list)
            remap(*group);
    if (m_evicted)
        remap(*m_evicted);
}

// Walks the group back on paper first: every item it changes or removes must still be there, and
// every removed item it puts back must find the item it followed. Another view may have taken any
// of them away; then the group cannot be undone without writing over text that is not its own.
void CUndoHistory::Seal(const CRUXDocument& document, CUndo& group) {
    for (CUndoAction& action : group.m_actions) {
        if (action.kind != kUndoChanged && action.kind != kUndoInserted)
            continue;
        const int index = document.FindItem(action.id, action.item);
        action.after = index >= 0 ? document.Items().GetAt(index)->GetText() : std::string();
    }
}

void CUndoHistory::SealHead(const CRUXDocument& document) {
    if (!m_undo.empty())
        Seal(document, *m_undo.front());
}

bool CUndoHistory::CanApply(const CRUXDocument& document, const CUndo& group) {
    std::unordered_map<uint32_t, bool> changed; // presence as the walk has left it
    std::unordered_set<uint32_t> checked;       // items whose text was compared with the group's
    auto present = [&](uint32_t id, int hint) {
        if (auto it = changed.find(id); it != changed.end())
            return it->second;
        return document.FindItem(id, hint) >= 0;
    };
    for (auto it = group.m_actions.rbegin(); it != group.m_actions.rend(); ++it) {
        const CUndoAction& action = *it;
        // The group's last action on an item: the item must hold the text the group left in it.
        auto unchanged = [&] {
            if (!checked.insert(action.id).second)
                return true;
            const int index = document.FindItem(action.id, action.item);
            return index >= 0 && document.Items().GetAt(index)->GetText() == action.after;
        };
        switch (action.kind) {
        case kUndoChanged:
            if (!present(action.id, action.item) || !unchanged())
                return false;
            break;
        case kUndoInserted:
            if (!present(action.id, action.item) || !unchanged())
                return false;
            changed[action.id] = false;
            break;
        case kUndoDeleted:
            if (action.before != 0 && !present(action.before, action.item - 1))
                return false;
            changed[action.id] = true;
            checked.insert(action.id);
            break;
        default:
            break;
        }
    }
    return true;
}

bool CUndoHistory::Apply(CRUXDocument& document, List& from, List& to, CTextPos currentCaret, CTextPos& caretOut) {
    if (from.empty())
        return false;
    std::unique_ptr<CUndo> group = std::move(from.front());
    from.pop_front();
    if (!CanApply(document, *group))
        return false; // dropped: what it needs is gone
    auto inverse = std::make_unique<CUndo>(currentCaret);
    const CObArrayEx& items = document.Items();

    for (auto it = group->m_actions.rbegin(); it != group->m_actions.rend(); ++it) {
        CUndoAction& action = *it;
        switch (action.kind) {
        case kUndoChanged: {
            const int index = document.FindItem(action.id, action.item);
            inverse->RecordAction(kUndoChanged, *items.GetAt(index), action.col, index);
            document.RestoreItemContent(index, *action.snapshot);
            break;
        }
        case kUndoDeleted: {
            // Rows removed as one run come back as one batch: each next one followed the last.
            // What comes back is a clone, as any restored item is: no marks, linked anew.
            const int at = action.before == 0 ? 0 : document.FindItem(action.before, action.item - 1) + 1;
            std::vector<std::unique_ptr<CItem>> batch;
            for (;;) {
                CUndoAction& current = *it;
                if (std::unique_ptr<CItem> restored = current.snapshot->Clone()) {
                    restored->AdoptId(current.id);
                    inverse->RecordAction(kUndoInserted, *restored, current.col, at + static_cast<int>(batch.size()));
                    batch.push_back(std::move(restored));
                }
                current.snapshot.reset();
                const auto next = std::next(it);
                if (next == group->m_actions.rend() || next->kind != kUndoDeleted || batch.empty() ||
                    next->before != batch.back()->GetId())
                    break;
                it = next;
            }
            document.InsertItems(at, std::move(batch));
            break;
        }
        case kUndoInserted: {
            // Rows inserted as one run go out as one: walking back, each next action names the
            // row right above the last one taken.
            int index = document.FindItem(action.id, action.item);
            int count = 1;
            for (auto next = std::next(it); next != group->m_actions.rend() && next->kind == kUndoInserted &&
                                            index > 0 && items.GetAt(index - 1)->GetId() == next->id;
                 next = std::next(it)) {
                it = next;
                --index;
                ++count;
            }
            const uint32_t before = index > 0 ? items.GetAt(index - 1)->GetId() : 0;
            std::vector<std::unique_ptr<CItem>> removed = document.RemoveItems(index, count); // no recorder: ours
            inverse->KeepRemoved(index, before, removed, action.col);
            break;
        }
        default:
            break;
        }
        action.snapshot.reset();
    }
    caretOut = group->m_caret;
    Seal(document, *inverse);
    Push(to, std::move(inverse));
    return true;
}

bool CUndoHistory::Undo(CRUXDocument& document, CTextPos currentCaret, CTextPos& caretOut) {
    m_headOpen = false;
    return Apply(document, m_undo, m_redo, currentCaret, caretOut);
}

bool CUndoHistory::Redo(CRUXDocument& document, CTextPos currentCaret, CTextPos& caretOut) {
    m_headOpen = false;
    return Apply(document, m_redo, m_undo, currentCaret, caretOut);
}

} // namespace rux
