#include "cmp/compile_support.h"

#include "core/build.h"
#include "document/program.h"
#include "image/bytecode.h"

namespace rux::test {

std::string ProgramText(const std::vector<Sec>& sections, const std::string& header) {
    std::string t = "$*TORVEL/RUX-V1\n#info=BmkRef\n#endinfo\n#info=BmkErrRef\n#endinfo\n#info=Ident\n";
    if (header.find("Type=") == std::string::npos) t += "Type=KESTREL\nTarget=KESTREL\n";
    t += header;
    t += "#endinfo\n";
    for (const Sec& s : sections) {
        if (s.title.empty()) { // top-level lines
            for (const std::string& l : s.lines) t += ":" + l + "\n";
            continue;
        }
        t += "#info=Section\nName=" + s.title + "\nState=open\n#endinfo\n";
        for (const std::string& l : s.lines) t += ":" + l + "\n";
        t += "#info=EndSection\nName=" + s.title + "\n#endinfo\n";
    }
    return t;
}

int FirstLine(const std::vector<Sec>& sections, std::size_t section) {
    int item = 1;
    for (std::size_t k = 0; k < section; ++k)
        item += static_cast<int>(sections[k].lines.size()) + (sections[k].title.empty() ? 0 : 2);
    return item + (sections[section].title.empty() ? 0 : 1);
}

cmp::Result CompileText(const std::string& programText, const std::string& fileName) {
    CProgram program;
    cmp::ProgramFromText(programText, program);
    cmp::Options o = cmp::OptionsFor(program, RUX_SOURCE_DIR "/data");
    o.fileName = fileName;
    o.source = programText;
    return cmp::Compile(cmp::ItemsOf(program), o);
}

cmp::Result CompileSections(const std::vector<Sec>& sections, const std::string& header) {
    return CompileText(ProgramText(sections, header));
}

std::vector<std::string> MessageLines(const cmp::Result& r, const std::string& fileName) {
    std::vector<std::string> out;
    for (const cmp::Message& m : r.messages) out.push_back(cmp::FormatMessage(fileName, m));
    out.push_back(cmp::FormatSummary(r.errors, r.warnings));
    return out;
}

std::string Disassemble(const image::Image& img) {
    std::string t = "target " + img.targetType + ", flags " + std::to_string(img.flags) + ", cells " +
                    std::to_string(img.globalCells) + "\n";
    for (const image::TaskEntry& e : img.tasks)
        t += "task " + std::to_string(e.taskId) + " " + e.name + " @" + std::to_string(e.entry) + "\n";
    for (const image::BlockEntry& b : img.blocks)
        t += "block " + b.name + " @" + std::to_string(b.entry) + " cells " + std::to_string(b.frameSize) + " in " +
             std::to_string(b.inputs) + " out " + std::to_string(b.outputs) + "\n";
    for (std::size_t i = 0; i < img.constants.size(); ++i) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "k%zu = %.17g\n", i, img.constants[i]);
        t += buf;
    }
    for (std::size_t i = 0; i < img.strings.size(); ++i) t += "s" + std::to_string(i) + " = \"" + img.strings[i] + "\"\n";
    for (const image::SymbolEntry& s : img.symbols)
        t += "symbol " + std::string(s.name) + " " + std::to_string(s.address) + " type " + std::to_string(s.type) +
             (s.elements != 1 ? " [" + std::to_string(s.elements) + "]" : std::string()) + "\n";
    std::size_t line = 0;
    for (std::size_t pc = 0; pc < img.code.size();) {
        while (line < img.lines.size() && img.lines[line].offset <= pc) {
            if (img.lines[line].offset == pc) t += "; item " + std::to_string(img.lines[line].item) + "\n";
            ++line;
        }
        std::size_t size = 0;
        t += std::to_string(pc) + ": " + image::disassembleOne(&img.code[pc], img.code.size() - pc, size) + "\n";
        if (size == 0) break;
        pc += size;
    }
    return t;
}

} // namespace rux::test
