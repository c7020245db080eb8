// Putting a template's text into a program at the caret.
#pragma once

#include <string_view>

namespace rux {

class CEditSession;

// Inserts the body's lines (split at line breaks) as text lines at the caret, as one undo group.
// Nothing happens while the view is online, in a read-only program or for an empty body; false then.
bool InsertTemplate(CEditSession& session, std::string_view body);

} // namespace rux
