// rux text, resave and convert.
#include "cli/cli_common.h"

#include "document/ascii_text.h"
#include "document/line_input.h"
#include "document/output_stream.h"
#include "document/program_reader.h"

#include <cerrno>
#include <cstdio>

namespace rux::cli {

int RunText(const Args& args) {
    if (args.size() != 1) return UsageError("usage: rux text FILE");
    CCliServices services;
    CRUXDocument program(services.DocumentServices());
    if (!OpenProgram(program, args[0], services)) return kExitFile;
    std::string text;
    CStringOstream out(text);
    int index = 0;
    for (const auto& item : program.Items())
        item->WriteText(index++, out, nullptr);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return std::fflush(stdout) == 0 ? kExitOk : kExitFile;
}

int RunResave(const Args& args) {
    if (args.size() != 2) return UsageError("usage: rux resave IN OUT");
    CCliServices services;
    CRUXDocument program(services.DocumentServices());
    if (!OpenProgram(program, args[0], services)) return kExitFile;
    return SaveProgram(program.Program(), args[1], services) ? kExitOk : kExitFile;
}

int RunConvert(const Args& args) {
    if (args.size() != 2) return UsageError("usage: rux convert IN OUT");
    CCliServices services;
    CStrStdioFile in;
    if (!in.Open(args[0])) {
        ReportFileError("cannot read", args[0], in.Problem());
        return kExitFile;
    }
    // A program file converted as text would turn its own header and blocks into lines: refused,
    // and OUT is left alone.
    std::string first;
    if (in.ReadLine(first) && StartsWithNoCase(first, kProgramHeaderLine)) {
        ReportFileError("cannot convert", args[0], "it is a program file already");
        return kExitFile;
    }
    if (!in.Open(args[0])) {
        ReportFileError("cannot read", args[0], in.Problem());
        return kExitFile;
    }
    CProgram program;
    ItemVector items;
    ConvertTextProgram(in, items, program.SectionIdCounter());
    for (auto& item : items)
        program.Items().AppendNoLayout(std::move(item));
    program.SetFormat(true);
    return SaveProgram(program, args[1], services) ? kExitOk : kExitFile;
}

} // namespace rux::cli
