// The Properties dialog of the program header, as one edit of a view.
#pragma once

namespace rux {

class CEditSession;
class CEditorServices;

// Fills a form from the header, asks the user through `services`, and writes an accepted form
// back in one transaction: one undo group of the session. False when nothing was written (no
// header or target library, cancelled, read-only or online).
bool EditNodeProperties(CEditSession& session, CEditorServices& services);

} // namespace rux
