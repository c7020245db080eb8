// The per-view undo history: groups of whole-item snapshots, ten groups in each direction.
#pragma once

#include "editor/text_position.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace rux {

class CItem;
class CRUXDocument;
struct CDocumentChange;

enum EUndoKind : int {
    kUndoChanged = 1,  // the snapshot holds the item's content before the change
    kUndoDeleted = 2,  // the snapshot is the item that was removed, taken over from the list
    kUndoInserted = 3, // no snapshot: the item is found by its id and taken out again
};

// Actions find their item by its id: another view may have moved it. `item` is where it stood,
// kept in step with other views' edits, and only tells where to look first.
struct CUndoAction {
    int kind = kUndoChanged;
    int col = 1;
    int item = 0;
    uint32_t id = 0;     // the item changed, inserted or removed
    uint32_t before = 0; // a removed item: the item it followed (0: it was the first)
    // A changed or inserted item: its text when the group closed. Another view that has changed
    // the item since would lose its text to the undo, so the group is then dropped.
    std::string after;
    std::unique_ptr<CItem> snapshot;
};

// One user command.
class CUndo {
public:
    explicit CUndo(CTextPos caret) : m_caret(caret) {}
    CUndo(const CUndo&) = delete;
    CUndo& operator=(const CUndo&) = delete;

    const CTextPos& Caret() const { return m_caret; }
    const std::vector<CUndoAction>& Actions() const { return m_actions; }
    bool IsEmpty() const { return m_actions.empty(); }

    // Appends an action for the item: a changed item is cloned, an inserted one only named.
    void RecordAction(int kind, const CItem& item, int col, int index);
    // The same, at a given position of the group.
    void RecordActionAt(size_t position, int kind, const CItem& item, int col, int index);
    // A run of items just left the list at `index`, after the item `before` (0: at the top): the
    // group takes them over as they are, one deleted action each, last to first, so that walking
    // the actions back puts the run back in one batch. A range delete costs no copies.
    void KeepRemoved(int index, uint32_t before, std::vector<std::unique_ptr<CItem>>& items, int col);

private:
    friend class CUndoHistory;
    CTextPos m_caret;
    std::vector<CUndoAction> m_actions;
};

class CUndoHistory {
public:
    static constexpr size_t kLimit = 10;

    CUndoHistory() = default;
    CUndoHistory(const CUndoHistory&) = delete;
    CUndoHistory& operator=(const CUndoHistory&) = delete;

    // Opens a group at the caret and pushes it on the undo list; the redo list is emptied, but comes
    // back if the group is dropped empty.
    CUndo& BeginUndoGroup(CTextPos caret);
    bool CanUndo() const { return !m_undo.empty(); }
    bool CanRedo() const { return !m_redo.empty(); }
    size_t UndoCount() const { return m_undo.size(); }
    size_t RedoCount() const { return m_redo.size(); }
    // The group being recorded (the head of the undo list), or null.
    CUndo* Current() { return m_undo.empty() ? nullptr : m_undo.front().get(); }

    // Apply the head group's inverse through the document's primitives, inside a transaction the
    // caller holds open; return the caret to restore, or false when there was nothing to do. A
    // group whose items another view removed (or whose place it removed) is dropped whole,
    // touching nothing: it answers false too.
    bool Undo(CRUXDocument& document, CTextPos currentCaret, CTextPos& caretOut);
    bool Redo(CRUXDocument& document, CTextPos currentCaret, CTextPos& caretOut);
    // Another view's edit moved the items: carets and positions follow.
    void Remap(const CDocumentChange& change);
    // The head group's command has ended: it keeps the texts it left in its items.
    void SealHead(const CRUXDocument& document);
    // Drops an empty group left at the head by a command that changed nothing.
    void DropEmptyHead();
    void Clear();

private:
    using List = std::deque<std::unique_ptr<CUndo>>;
    static void Push(List& list, std::unique_ptr<CUndo> group);
    static bool Apply(CRUXDocument& document, List& from, List& to, CTextPos currentCaret, CTextPos& caretOut);
    static bool CanApply(const CRUXDocument& document, const CUndo& group);
    static void Seal(const CRUXDocument& document, CUndo& group);

    List m_undo; // most recent first
    // Held while the head group is open and still empty, so that dropping it restores both.
    List m_stashedRedo;
    std::unique_ptr<CUndo> m_evicted;
    bool m_headOpen = false;
    List m_redo;
};

} // namespace rux
