#include "editor/bookmarks.h"

#include "document/item_list.h"
#include "document/rux_document.h"
#include "editor/edit_session.h"
#include "editor/go_to_line.h"

namespace rux {

void ToggleBookmark(CEditSession& session) {
    CRUXDocument& document = session.Document();
    const CObArrayEx& items = document.Items();
    if (items.IsEmpty()) return;
    int index = session.Caret().item;
    if (index >= items.GetSize()) index = items.GetSize() - 1;
    // Bookmarks are navigation aids saved with the program, so a read-only view may set them too.
    document.ToggleMark(index, kMarkBookmark);
}

bool GoToNextMark(CEditSession& session, int kind) {
    const CObArrayEx& items = session.Document().Items();
    const int size = items.GetSize();
    if (size == 0) return false;
    const int caret = session.Caret().item < size ? session.Caret().item : size - 1;
    // The mark is asked as the item answers it: for kind 0 an error mark counts as well.
    for (int step = 1; step <= size; ++step) {
        const int index = (caret + step) % size;
        if (items.GetAt(index)->HasMark(kind)) {
            MoveCaretToItem(session, index);
            return true;
        }
    }
    return false;
}

bool RemoveAllBookmarks(CEditSession& session) {
    CRUXDocument& document = session.Document();
    bool cleared = false;
    document.BeginTransaction(&session);
    for (int i = 0; i < document.Items().GetSize(); ++i)
        if (document.Items().GetAt(i)->HasBookmark()) cleared = document.SetMark(i, kMarkBookmark, false) || cleared;
    document.EndTransaction();
    return cleared;
}

} // namespace rux
