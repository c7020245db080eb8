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

// One primitive edit: `removed` items at `first` were replaced by `inserted` items.
struct CDocumentChange {
    int first = 0;
    int removed = 0;
    int inserted = 0;
};

class CDocumentObserver {
public:
    virtual ~CDocumentObserver() = default;
    // `change` is set for content and structure hints, null otherwise.
    virtual void OnUpdate(CRUXDocument& document, int hint, const CDocumentChange* change) = 0;
};

} // namespace rux
