// Marking the line that the build or the suite sends the user to.
#pragma once

namespace rux {

class CRUXDocument;

// Clears the error mark of every item, clamps `line` to the last item, expands a folded section that
// hides it and marks it. Returns the marked item, or -1 (nothing changed) for a negative line or an
// empty program. The observers hear one marks update, and a structure update first when a section
// was expanded.
int MarkErrorLine(CRUXDocument& document, int line);

// Clears every error mark; true when there was one.
bool ClearErrorMarks(CRUXDocument& document);

} // namespace rux
