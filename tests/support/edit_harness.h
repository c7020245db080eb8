// Runs editing scripts on a program written from a compact description, for the editing tests.
#pragma once

#include "editor/edit_script.h"

#include <memory>
#include <string>
#include <vector>

namespace rux::test {

// Program file bytes from rows: "text" is a text line, "{Name" opens a section, "}" closes the
// open one, "{-Name" opens a folded one, "@FBD:Title" is a diagram; "P" as first row is a header.
// "@F:Title:payload" and "@Q:Title:payload" are FBD and QLD diagrams with that payload (ending in CR LF).
std::string ProgramBytes(const std::vector<std::string>& rows);

// The text of every item, in order.
std::vector<std::string> ItemTexts(const CRUXDocument& document);

// The bytes a save of `program` would write.
std::string SavedBytes(const CProgram& program);
inline std::string SavedBytes(const CRUXDocument& document) { return SavedBytes(document.Program()); }

struct CScriptRun {
    std::unique_ptr<CEditScript> script;
    std::string output;
    std::vector<std::string> Lines() const; // the text of every item, in order
    std::string Saved() const;              // the bytes a save would write
};

// Records the update hints a document sends, apart from the title updates of its modified flag.
struct CHintLog : CDocumentObserver {
    std::vector<int> hints;
    void OnUpdate(CRUXDocument&, int hint, const CDocumentChange*) override {
        if (hint != kHintTitle) hints.push_back(hint);
    }
};

// The top of every row of a layout, in order.
std::vector<int> RowTops(const CRowLayout& layout);

CScriptRun RunScript(const std::string& bytes, const std::vector<std::string>& commands,
                     const CEditSettings& settings = {}, bool readOnly = false);

} // namespace rux::test
