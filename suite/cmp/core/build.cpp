#include "core/build.h"

#include "core/lexer.h"
#include "core/program_source.h"
#include "document/ascii_text.h"
#include "document/diagram_item.h"
#include "document/header_item.h"
#include "document/item_sink.h"
#include "document/line_input.h"
#include "document/output_stream.h"
#include "document/program.h"
#include "document/program_file.h"
#include "document/program_paths.h"
#include "document/program_reader.h"
#include "document/section_items.h"
#include "fileio/safe_file.h"
#include "shell/ini_file.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

namespace rux::cmp {

namespace {

std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : text + ",") {
        if (c == ',') {
            while (!cur.empty() && (cur.back() == ' ' || cur.back() == '\t')) cur.pop_back();
            const std::size_t a = cur.find_first_not_of(" \t");
            if (a != std::string::npos) out.push_back(cur.substr(a));
            cur.clear();
        } else {
            cur += c;
        }
    }
    return out;
}

std::string ReplaceAll(std::string s, const std::string& from, const std::string& to) {
    for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size())) s.replace(at, from.size(), to);
    return s;
}

const char* const kDefaultTasks = "Initial,Background,Clock,Event,Event1,Event2,Event3,Pos0,Pos1,Error";

bool WriteFile(const std::string& path, const void* data, std::size_t size) {
    return WriteFileSafely(path, std::string_view(static_cast<const char*>(data), size)).ok;
}

} // namespace

std::string DataDirectory() {
    if (const char* home = std::getenv("RUXEDIT_HOME"); home && *home) return home;
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&DataDirectory), &info) != 0 && info.dli_fname) {
        std::string self = info.dli_fname;
        const std::size_t slash = self.find_last_of('/');
        if (slash != std::string::npos) return self.substr(0, slash);
    }
    return ".";
}

std::vector<SourceItem> ItemsOf(const CProgram& program) {
    const CObArrayEx& list = program.Items();
    std::vector<SourceItem> items(static_cast<std::size_t>(list.GetSize())); // filled in place
    const auto first = list.begin();
    for (std::size_t i = 0; i < items.size(); ++i) {
        const CItem* it = first[static_cast<std::ptrdiff_t>(i)];
        SourceItem& s = items[i];
        s.kind = it->GetType();
        s.text = it->GetText();
        if (s.kind == kDiagramItem) s.diagramTitle = &static_cast<const CDiag*>(it)->GetTitle();
    }
    return items;
}

Options OptionsFor(const CProgram& program, const std::string& dataDir) {
    const CPar* par = program.GetHeader();
    return OptionsFor(par ? &par->Header() : nullptr, dataDir);
}

Options OptionsFor(const CRuxHeader* header, const std::string& dataDir) {
    Options o;
    if (header) {
        const CRuxHeader& h = *header;
        o.targetType = !h.Type.empty() ? h.Type : h.Target;
        o.floatingPoint = h.FloatingPoint != 0;
        o.debug = h.Debug != 0;
        o.embedSource = h.Source != 0;
        o.library = !h.Library.empty();
    }
    const CIniFile targets(dataDir + "/targets.ini");
    std::string tasks = targets.GetString(o.targetType, "Tasks", "");
    if (tasks.empty()) tasks = kDefaultTasks;
    o.targetTasks = SplitList(tasks);
    // Every task name any target knows, to tell "not of this target" from "not a task at all".
    std::vector<std::string> known = SplitList(kDefaultTasks);
    for (int k = 1; k < 64; ++k) {
        const std::string type = targets.GetString("Types", "Type" + std::to_string(k), "");
        if (type.empty()) break;
        for (const std::string& t : SplitList(targets.GetString(type, "Tasks", ""))) known.push_back(t);
    }
    o.knownTasks = known;
    const CIniFile limits(dataDir + "/DRVDEF.HDW");
    o.maxParamIn = limits.GetInt(o.targetType, "MaxParamIn", 256);
    o.maxParamOut = limits.GetInt(o.targetType, "MaxParamOut", 256);
    // Referenced libraries: "Libs/NAME/NAME.lib" in the data directory, plain-text sections.
    if (header && header->Library.empty()) {
        // The header keeps them last first, as the document lists them.
        std::vector<std::string> names = SplitList(ReplaceAll(header->RefLibs, ";", ","));
        std::reverse(names.begin(), names.end());
        for (const std::string& name : names) {
            const std::string path = dataDir + "/Libs/" + name + "/" + name + ".lib";
            std::error_code error;
            // A folder or a FIFO where the library should be is a missing library, never read.
            std::ifstream in;
            if (std::filesystem::is_regular_file(path, error)) in.open(path, std::ios::binary);
            if (!in.is_open()) {
                LibraryItems missing;
                missing.name = name;
                o.libraries.push_back(std::move(missing));
                continue;
            }
            const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            o.libraries.push_back(LibraryFromText(name, text));
        }
    }
    const CIniFile isa(dataDir + "/isa.lib");
    for (int k = 1; k < 1000; ++k) {
        const std::string name = isa.GetString("NoBracketFBs", std::to_string(k), "");
        if (name.empty()) break;
        o.noBracketBlocks.push_back(name);
    }
    return o;
}

LibraryItems LibraryFromText(const std::string& name, std::string_view text) {
    LibraryItems lib;
    lib.name = name;
    auto libProgram = std::make_shared<CProgram>();
    CStrMemFile mem(text);
    ItemVector items;
    ConvertTextProgram(mem, items, libProgram->SectionIdCounter());
    libProgram->Items().AdoptNoLayout(std::move(items));
    lib.items = ItemsOf(*libProgram);
    lib.storage = libProgram;
    lib.present = true;
    return lib;
}

bool ProgramFromText(std::string_view text, CProgram& program) {
    program.Clear();
    CStrMemFile in(text);
    ItemVector items;
    CItemSink sink(items, program.SectionIdCounter());
    program.SetFormat(ReadProgram(in, sink, nullptr).format);
    program.Items().AdoptNoLayout(std::move(items));
    return program.HasFormat();
}

BuildOutcome BuildProgram(const std::string& programPath, bool stopOnWarning, const DeliverLine& deliver,
                          const std::string& dataDir) {
    BuildOutcome out;
    out.errorFile = ReplaceExtension(programPath, ".ERR");
    out.imageFile = ReplaceExtension(programPath, ".bin");
    out.symbolFile = ReplaceExtension(programPath, ".sym");
    const std::string fileName = FileNameOf(programPath);

    auto say = [&](const std::string& line) {
        out.lines.push_back(line);
        if (deliver) deliver(line);
    };
    auto finish = [&] {
        say(FormatSummary(out.errors, out.warnings));
        std::string text;
        for (const std::string& l : out.lines) text += l + "\n";
        WriteFile(out.errorFile, text.data(), text.size());
        if (!out.ok) {
            std::remove(out.imageFile.c_str());
            std::remove(out.symbolFile.c_str());
        }
    };

    ProgramSource source;
    // The reader refuses a folder, a FIFO or a device; only then is the source read for the image,
    // so that neither a blocking open nor a read error on a folder can happen here.
    if (!ReadProgramSource(programPath, source)) {
        Message m{0, 1, 2, false, "E000", "cannot read " + fileName};
        out.messages.push_back(m);
        ++out.errors;
        say(FormatMessage(fileName, m));
        finish();
        return out;
    }
    if (!source.format) {
        Message m{0, 1, 2, false, "E000",
                  fileName + " is an older plain-text program; open and save it in the editor (or rux convert it) first"};
        out.messages.push_back(m);
        ++out.errors;
        say(FormatMessage(fileName, m));
        finish();
        return out;
    }
    if (source.v3Fired) {
        // Opening such a program turns its "$V3" line into a comment and saves the file at once; a
        // build leaves the file as the editor would, by the editor's own Load.
        CProgram program;
        Load(program, programPath);
    }
    Options options = OptionsFor(source.header ? &*source.header : nullptr, dataDir);
    options.fileName = fileName;
    if (options.embedSource) { // the file is read a second time only when the image carries it
        std::ifstream in(programPath, std::ios::binary);
        if (in) options.source.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    Result r = Compile(source.items, options);
    bool stoppedOnWarning = false;
    for (const Message& m : r.messages) {
        out.messages.push_back(m);
        (m.warning ? out.warnings : out.errors)++;
        say(FormatMessage(fileName, m));
        if (m.warning && stopOnWarning) {
            stoppedOnWarning = true;
            break;
        }
    }
    if (r.errors == 0 && !stoppedOnWarning) {
        const image::Bytes bytes = image::writeImageTakingCode(r.image);
        const std::string sym = SymbolFileText(r.image);
        out.ok = WriteFile(out.imageFile, bytes.data(), bytes.size()) && WriteFile(out.symbolFile, sym.data(), sym.size());
        if (!out.ok) {
            Message m{0, 1, 2, false, "E000", "cannot write " + FileNameOf(out.imageFile)};
            out.messages.push_back(m);
            ++out.errors;
            say(FormatMessage(fileName, m));
        }
    }
    finish();
    return out;
}

} // namespace rux::cmp
