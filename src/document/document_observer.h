// How a program document tells its views and panes what changed.
#pragma once

namespace rux {

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
// text or place changed now lies in [first, last] (last < first when only items were removed).
// Items after the range are the same items with the same texts, moved by inserted - removed.
struct CDocumentChange {
    int first = 0;
    int removed = 0;
    int inserted = 0;
    int last = -1;
    // A section header or footer was inserted, removed or renamed: section membership may have
    // changed beyond the range.
    bool sections = false;
};

class CDocumentObserver {
public:
    virtual ~CDocumentObserver() = default;
    // `change` is set for content and structure hints, null otherwise.
    virtual void OnUpdate(CRUXDocument& document, int hint, const CDocumentChange* change) = 0;
};

} // namespace rux
