// rux edit: runs editing commands from a script on the views of one program, as the editor's views would.
#include "cli/cli_common.h"

#include "document/line_input.h"
#include "editor/edit_script.h"
#include "import/indexer_script_commands.h"

#include <cerrno>
#include <cstdlib>

namespace rux::cli {
namespace {

bool ParseTabSize(const std::string& text, int& value) {
    char* end = nullptr;
    const long n = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || n < 1 || n > 64)
        return false;
    value = static_cast<int>(n);
    return true;
}

} // namespace

int RunEdit(const Args& args) {
    AddIndexerScriptCommands();
    std::string file, out;
    std::vector<CScriptLine> script;
    CEditSettings settings;
    bool readOnly = false;
    int expressions = 0;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "-o") {
            if (!hasValue)
                return UsageError("edit: -o needs a file");
            out = args[++i];
        } else if (a == "--tab-size") {
            if (!hasValue || !ParseTabSize(args[i + 1], settings.tabSize))
                return UsageError("edit: --tab-size needs a number from 1 to 64");
            ++i;
        } else if (a == "--keep-tabs") {
            settings.insertTabs = true;
        } else if (a == "--no-auto-indent") {
            settings.autoIndent = false;
        } else if (a == "--read-only") {
            readOnly = true;
        } else if (a == "-f") {
            if (!hasValue)
                return UsageError("edit: -f needs a script file");
            // A folder would read as an empty script and a FIFO would block: refuse them first.
            CStrStdioFile check;
            if (!check.Open(args[++i])) {
                ReportFileError("cannot read", args[i], check.Problem());
                return kExitFile;
            }
            check.Close();
            if (!CEditScript::ReadScript(args[i], script)) {
                ReportFileError("cannot read", args[i]);
                return kExitFile;
            }
        } else if (a == "-e") {
            if (!hasValue)
                return UsageError("edit: -e needs a command");
            script.push_back(CEditScript::Parse(args[++i], "-e " + std::to_string(++expressions)));
        } else if (a.size() > 1 && a[0] == '-') {
            return UsageError("edit: unknown option '" + a + "'");
        } else if (file.empty()) {
            file = a;
        } else {
            return UsageError("edit: more than one file given");
        }
    }
    if (file.empty())
        return UsageError("usage: rux edit FILE [-o OUT] [--tab-size N] [--keep-tabs] [--no-auto-indent] "
                          "[--read-only] [-f SCRIPT] [-e COMMAND]...");

    // Every command is checked before the first one runs, so a bad script changes nothing.
    for (size_t i = 0; i < script.size(); ++i)
        if (const std::string problem = CEditScript::Check(script[i]); !problem.empty())
            return UsageError("edit: command " + std::to_string(i + 1) + " (" + script[i].origin + "): " + problem);

    CCliServices services;
    CEditScript run;
    errno = 0;
    const int shownBefore = services.MessagesShown();
    if (!run.Open(file, settings, readOnly, services.DocumentServices())) {
        ReportOpenFailure(run.Document(), file, services, shownBefore);
        return kExitFile;
    }
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH")) {
        const std::time_t fixed = static_cast<std::time_t>(std::strtoll(epoch, nullptr, 10));
        run.Session().SetClock([fixed] { return fixed; });
    }
    for (const CScriptLine& line : script)
        if (!run.Run(line))
            return kExitFile;
    if (!out.empty())
        return run.SaveTo(out) ? kExitOk : kExitFile;
    if (run.Document().IsModified())
        return run.SaveTo(file) ? kExitOk : kExitFile;
    return kExitOk;
}

} // namespace rux::cli
