#include "support/edit_harness.h"

#include "document/output_stream.h"
#include "document/program_file.h"
#include "document/row_layout.h"
#include "support/temp_dir.h"

namespace rux::test {

std::string ProgramBytes(const std::vector<std::string>& rows) {
    std::string out = "$*TORVEL/RUX-V1\r\n";
    std::vector<std::string> open;
    for (const std::string& row : rows) {
        if (row == "P") {
            out += "#info=Ident\r\nAUTHOR=a\r\nDRIVE=VQ5A\r\nType=KESTREL\r\n#endinfo\r\n";
        } else if (row.size() > 1 && row[0] == '{') {
            const bool folded = row[1] == '-';
            const std::string name = row.substr(folded ? 2 : 1);
            out += "#info=Section\r\nName=" + name + (folded ? "\r\nState=close" : "\r\nState=open") + "\r\n#endinfo\r\n";
            open.push_back(name);
        } else if (row == "}" && !open.empty()) {
            out += "#info=EndSection\r\nName=" + open.back() + "\r\n#endinfo\r\n";
            open.pop_back();
        } else if (row.rfind("@F:", 0) == 0 || row.rfind("@Q:", 0) == 0) {
            const size_t colon = row.find(':', 3);
            out += "#info=Diagram\r\nDiagTitle=" + row.substr(3, colon - 3) + "\r\n#info=" +
                   (row[1] == 'Q' ? "QLD" : "FBD") + "\r\n" + row.substr(colon + 1) + "#endinfo\r\n#endinfo\r\n";
        } else if (row.rfind("@FBD:", 0) == 0) {
            out += "#info=Diagram\r\nDiagTitle=" + row.substr(5) + "\r\n#info=FBD\r\n@VAR:1,P=(1,1) X=speed\r\n#endinfo\r\n#endinfo\r\n";
        } else {
            out += ":" + row + "\r\n";
        }
    }
    return out;
}

std::vector<std::string> ItemTexts(const CRUXDocument& document) {
    std::vector<std::string> lines;
    for (const auto& item : document.Items())
        lines.push_back(item->GetText());
    return lines;
}

std::vector<std::string> CScriptRun::Lines() const {
    return ItemTexts(script->Document());
}

std::string SavedBytes(const CProgram& program) {
    std::string out;
    CStringOstream s(out);
    WriteProgram(program, s);
    return out;
}

std::string CScriptRun::Saved() const {
    return SavedBytes(script->Document());
}

std::vector<int> RowTops(const CRowLayout& layout) {
    std::vector<int> tops;
    for (int i = 0; i < layout.RowCount(); ++i)
        tops.push_back(layout.TopOf(i));
    return tops;
}

CScriptRun RunScript(const std::string& bytes, const std::vector<std::string>& commands, const CEditSettings& settings,
                     bool readOnly) {
    CTempDir dir;
    const std::string path = dir.Write("edit.rux", bytes);
    CScriptRun run;
    run.script = std::make_unique<CEditScript>();
    run.script->SetOutput([&run](const std::string& text) { run.output += text; });
    if (!run.script->Open(path, settings, readOnly, {}))
        throw std::runtime_error("cannot open the test program");
    for (size_t i = 0; i < commands.size(); ++i) {
        const CScriptLine line = CEditScript::Parse(commands[i], "test " + std::to_string(i + 1));
        const std::string problem = CEditScript::Check(line);
        if (!problem.empty())
            throw std::runtime_error(commands[i] + ": " + problem);
        run.script->Run(line);
    }
    return run;
}

} // namespace rux::test
