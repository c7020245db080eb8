// Runs editing scripts on a program written from a compact description, for the editing tests.
#pragma once

#include "editor/edit_script.h"

#include <memory>
#include <string>
#include <vector>

namespace rux::test {

// Program file bytes from rows: "text" is a text line, "{Name" opens a section, "}" closes the
// open one, "{-Name" opens a folded one, "@FBD:Title" is a diagram; "P" as first row is a header.
std::string ProgramBytes(const std::vector<std::string>& rows);

// The bytes a save of `document` would write.
std::string SavedBytes(const CRUXDocument& document);

struct CScriptRun {
    std::unique_ptr<CEditScript> script;
    std::string output;
    std::vector<std::string> Lines() const; // the text of every item, in order
    std::string Saved() const;              // the bytes a save would write
};

CScriptRun RunScript(const std::string& bytes, const std::vector<std::string>& commands,
                     const CEditSettings& settings = {}, bool readOnly = false);

} // namespace rux::test
