// Find Next, Replace and Replace All of the Find/Replace dialog, run on the active view's session.
#pragma once

#include <string>

namespace rux {

class CEditSession;
class CFindReplaceModel;

struct CFindResult {
    bool refused = false; // the command did not run (empty find text, or the view may not edit)
    bool found = false;   // a match is selected, or a diagram window shows one
    long replaced = 0;    // replacements this command made
    std::string message;  // the text of the message box to show, or empty
};

// Searches from the caret in the model's direction, restarting once from item 1 when the model
// says so; a match in text is selected with the caret at its end.
CFindResult FindNext(CEditSession& session, CFindReplaceModel& model);

// Replaces the selection when it is a match of the find text, then goes on to the next match.
// Neither change is recorded for undo.
CFindResult Replace(CEditSession& session, CFindReplaceModel& model);

// Replaces every occurrence in every item; not recorded for undo.
CFindResult ReplaceAll(CEditSession& session, CFindReplaceModel& model);

} // namespace rux
