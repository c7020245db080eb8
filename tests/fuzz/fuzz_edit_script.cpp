// Runs arbitrary editing scripts on a small program: no command sequence may crash, throw or
// break the item list's section structure, and undoing everything must give the program back.
#include "document/item_list.h"
#include "document/section_items.h"
#include "editor/edit_script.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

const char kProgram[] =
    "$*TORVEL/RUX-V1\r\n#info=Ident\r\nAUTHOR=a\r\nDRIVE=VQ5A\r\nType=KESTREL\r\n#endinfo\r\n:a = 1\r\n"
    "#info=Section\r\nName=Initial\r\nState=open\r\n#endinfo\r\n:  IF a THEN\r\n:    b = #1.21 ; c\r\n:  ENDIF\r\n"
    "#info=Diagram\r\nDiagTitle=D\r\n#info=FBD\r\n@VAR:1,P=(1,1) X=speed\r\n#endinfo\r\n#endinfo\r\n"
    "#info=EndSection\r\nName=Initial\r\n#endinfo\r\n:x\r\n#info=Section\r\nName=Clock\r\nState=close\r\n#endinfo\r\n"
    ":t\r\n#info=EndSection\r\nName=Clock\r\n#endinfo\r\n:end\r\n";

// The rows of the program, types and texts: what undo must give back. Folds, previews and
// bookmarks are not undone by design, so they are left out.
std::string Rows(rux::CEditScript& script) {
    std::string out;
    for (const auto& item : script.Document().Items())
        out += std::to_string(item->GetType()) + ":" + item->GetText() + "\n";
    return out;
}

// Every member points at a header that stands before it, and every header has its footer.
void CheckSections(const rux::CObArrayEx& items) {
    const rux::CSectionHeader* open = nullptr;
    for (const rux::CItem* item : items) {
        const rux::CSectionHeader* section = item->GetSection();
        if (item->GetType() == rux::kItemSectionHeader) {
            open = static_cast<const rux::CSectionHeader*>(item);
        } else if (section && section != open) {
            std::abort();
        } else if (item->GetType() == rux::kItemSectionFooter && section) {
            open = nullptr;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = [] {
        const std::string p = "/tmp/rux_fuzz_edit_" + std::to_string(::getpid()) + ".rux";
        if (FILE* f = std::fopen(p.c_str(), "wb")) {
            std::fwrite(kProgram, 1, sizeof kProgram - 1, f);
            std::fclose(f);
        }
        return p;
    }();
    rux::CEditScript script;
    script.SetOutput([](const std::string&) {});
    if (!script.Open(path, {}, false, {}))
        return 0;
    const std::string original = Rows(script);
    const std::string text(reinterpret_cast<const char*>(data), size);
    size_t start = 0;
    int commands = 0;
    // Typing can make more groups than the history keeps; once it is full the start is out of reach.
    bool complete = true;
    while (start <= text.size() && commands < 12) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const rux::CScriptLine line = rux::CEditScript::Parse(text.substr(start, end - start), "fuzz");
        start = end + 1;
        // Saving and reading files are not what this target explores.
        if (line.name == "save" || line.name == "clip-file" || !rux::CEditScript::Check(line).empty())
            continue;
        script.Run(line);
        ++commands;
        CheckSections(script.Document().Items());
        if (script.Session().History().UndoCount() >= rux::CUndoHistory::kLimit)
            complete = false;
    }
    rux::CEditSession& session = script.Session();
    while (session.CanUndo())
        session.Undo();
    CheckSections(script.Document().Items());
    // Replace and Replace All are not undoable by design.
    if (complete && text.find("replace") == std::string::npos && Rows(script) != original)
        std::abort();
    return 0;
}
