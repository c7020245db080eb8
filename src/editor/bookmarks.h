// Bookmarks on items, and the next-mark search shared with Go to next breakpoint.
#pragma once

namespace rux {

class CEditSession;

// Toggles the bookmark of the caret item, marks the document modified and repaints.
void ToggleBookmark(CEditSession& session);

// Moves the caret to the next item carrying the mark, wrapping round to item 0 and ending with the
// caret item itself; false (and nothing moves) when no item carries it.
bool GoToNextMark(CEditSession& session, int kind);

// Clears every bookmark; true when there was one, and only then is the document modified.
bool RemoveAllBookmarks(CEditSession& session);

} // namespace rux
