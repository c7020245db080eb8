#include "editor/error_location.h"

#include "document/item.h"
#include "document/rux_document.h"
#include "editor/go_to_line.h"

namespace rux {

bool ClearErrorMarks(CRUXDocument& document) {
    bool any = false;
    const CObArrayEx& items = document.Items();
    document.BeginTransaction();
    for (int i = 0; i < items.GetSize(); ++i)
        if (items.GetAt(i)->HasErrorMark()) any = document.SetMark(i, kMarkError, false) || any;
    document.EndTransaction();
    return any;
}

int MarkErrorLine(CRUXDocument& document, int line) {
    const int count = document.Items().GetSize();
    if (line < 0 || count == 0) return -1;
    const int index = line < count ? line : count - 1;
    // The old marks go, the section opens and the new mark shows in one update.
    document.BeginTransaction();
    ClearErrorMarks(document);
    RevealItem(document, index);
    document.SetMark(index, kMarkError, true);
    document.EndTransaction();
    return index;
}

} // namespace rux
