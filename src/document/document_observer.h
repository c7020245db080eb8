// How a program document tells its views and panes what changed.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace rux {

class CItem;
class CRUXDocument;

// Hints passed with OnUpdate; 8 and 9 are the settings changes every view reacts to.
enum EUpdateHint : int {
    kHintAll = 0,        // anything may have changed: repaint everything
    kHintContent = 1,    // item texts changed (the change record says where)
    kHintStructure = 2,  // items were inserted, removed or folded: re-lay out, rebuild the tree entry
    kHintTitle = 3,      // title or modified state changed
    kHintMarks = 4,      // bookmarks, error marks, breakpoints or state marks changed
    kHintSettings = 8,   // font, tab size or tab handling changed
    kHintColours = 9,    // colours changed
};

// One edit: `removed` items at `first` were replaced by `inserted` items, and every item whose
// text, place or visibility changed now lies in [first, last] (last < first when only items were
// removed). Rows below a fold only move: each view's layout derives their tops.
// Items after the range are the same items with the same texts, moved by inserted - removed.
// A record with no removed and no inserted item always names a real range (last >= first).
struct CDocumentChange {
    int first = 0;
    int removed = 0;
    int inserted = 0;
    int last = -1;
    // A section header or footer was inserted, removed or renamed: section membership may have
    // changed beyond the range.
    bool sections = false;
};

// Moves an item position over one edit record as a text editor keeps its marks: behind the
// replaced range it moves by inserted - removed; inside removed items it goes to the range's start.
// Returns true when the position stood in a removed item.
inline bool MapItemIndex(int& index, const CDocumentChange& change) {
    if (index >= change.first + change.removed) {
        index += change.inserted - change.removed;
        return false;
    }
    if (index >= change.first && change.removed > 0) {
        index = change.first;
        return true;
    }
    return false;
}

class CDocumentObserver {
public:
    virtual ~CDocumentObserver() = default;
    // `change` is set for content and structure hints, null otherwise.
    virtual void OnUpdate(CRUXDocument& document, int hint, const CDocumentChange* change) = 0;
    // One primitive edit of a transaction. At the transaction's end every observer hears each of
    // them in order (each one relative to the list as the records before it left it), then one
    // OnUpdate with their sum. `source` is whoever opened the transaction (an edit session), or
    // null for edits that belong to no view (dialogs, the suite, imports).
    virtual void OnEditRecord(CRUXDocument& document, const CDocumentChange& record, const void* source) {
        (void)document;
        (void)record;
        (void)source;
    }
};

// Hears every primitive of a transaction as it happens, before the item changes (or right after
// an insertion or a removal): the undo history of the view that opened the transaction.
class CEditRecorder {
public:
    virtual ~CEditRecorder() = default;
    virtual void ItemChanging(int index, const CItem& item) = 0;
    virtual void ItemInserted(int index, const CItem& item) = 0;
    // A run of items has just left the list at `index`, where it followed the item `before`
    // (0: it stood first). The recorder may take any of them over (the undo keeps the removed
    // items themselves rather than copies); those it leaves in `items` go back to whoever removed
    // them. Runs taken out in one step are told lowest last, each in the indices before the step.
    virtual void ItemsRemoved(int index, uint32_t before, std::vector<std::unique_ptr<CItem>>& items) = 0;
};

} // namespace rux
