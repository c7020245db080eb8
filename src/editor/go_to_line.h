// Moving the caret to an item by number: Go to line, and the jumps of the searches and bookmarks.
#pragma once

namespace rux {

class CEditSession;
class CRUXDocument;

// Expands the folded section that hides item `index` through the document, whose observers hear
// of the rows that moved; true when a section was expanded. A section opened for a search or a
// jump does not modify the program; one the user opened by asking for the row (`byUser`) does.
bool RevealItem(CRUXDocument& document, int index, bool byUser = false);

// The selection collapses, n is clamped to the last item, a folded section around it is expanded,
// the caret goes to column 1 of item n and into view. The document tells its observers when it expanded.
void MoveCaretToItem(CEditSession& session, int n);

// OK of the Go to line dialog: false for a negative number, which keeps the dialog open.
bool GoToLine(CEditSession& session, int n);

} // namespace rux
