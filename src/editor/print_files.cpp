#include "editor/print_files.h"

#include "document/output_stream.h"
#include "document/program_file.h"
#include "document/rux_document.h"
#include "editor/edit_session.h"
#include "shell/product_paths.h"

#include <filesystem>
#include <fstream>

namespace rux {
namespace {

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

} // namespace

CPrintFiles WritePrintFiles(const CEditSession& session, const std::string& directory) {
    CPrintFiles files;
    const std::string selectionPath = CProductPaths::Join(directory, kPrintSelectionFile);
    if (session.HasSelection()) {
        if (WriteFile(selectionPath, session.SelectionFragment())) files.selection = selectionPath;
    } else {
        std::error_code ec;
        std::filesystem::remove(selectionPath, ec);
    }
    std::string program;
    CStringOstream stream(program);
    WriteProgram(session.Document().Program(), stream);
    const std::string programPath = CProductPaths::Join(directory, kPrintProgramFile);
    if (WriteFile(programPath, program)) files.program = programPath;
    return files;
}

} // namespace rux
