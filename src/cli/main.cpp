// rux: the editor's command line.
#include "cli/cli_common.h"
#include "cli/port_command.h"

#include <cstdio>
#include <cstring>

namespace {

const char kUsage[] =
    "usage: rux COMMAND [ARGS]\n"
    "\n"
    "  info [--json] FILE     the structure of a program or of a compiled image\n"
    "  text FILE              the program as plain text\n"
    "  resave IN OUT          load IN and save it to OUT as the editor saves\n"
    "  convert IN OUT         turn an older plain-text program into a program file\n"
    "  edit FILE [OPTIONS]    run editing commands on a program (-e COMMAND, -f SCRIPT)\n"
    "  props FILE [--set FIELD=VALUE ...] [--library NAME]\n"
    "                         the node properties; with --set or --library, change and save them\n"
    "  sse send TOOL NUMBER [FILE] [--line-data L;S;E]\n"
    "                         send a numbered message to a tool of the suite\n"
    "  sse put FILE [--line-data L;S;E]\n"
    "                         publish a file name and error line data for a tool started next\n"
    "  sse listen TOOL [--count N]\n"
    "                         receive messages as TOOL, one line each: number, file, line data\n"
    "  port FILE [--catalogue-dir DIR] [--json | --sarif] [--fix add|remove [--icons 2|3|2,3] | --ignore LINE] [-o OUT]\n"
    "                         the porting issues of a program; exit 3 when there are some\n"
    "  online FILE [--node ADDR] [--port N] -e COMMAND ...\n"
    "                         run commands against the program's drive node (see README)\n"
    "  build FILE [--stop-on-warning] [--quiet] [--json]\n"
    "                         compile a program as the editor does; exit 0 built, 1 errors\n"
    "  run FILE [--ms N] [--var NAME]... [--set NAME=VALUE]... [--param M.PP=VALUE]...\n"
    "                         build, then run N ms of virtual time on the virtual machine\n"
    "  help                   this text\n";

} // namespace

int main(int argc, char** argv) {
    using namespace rux::cli;
    if (argc < 2) return UsageError("no command given");
    const std::string command = argv[1];
    const Args args(argv + 2, argv + argc);
    if (command == "help" || command == "--help" || command == "-h") {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (command == "info")
        return RunInfo(args);
    if (command == "text")
        return RunText(args);
    if (command == "resave")
        return RunResave(args);
    if (command == "convert")
        return RunConvert(args);
    if (command == "edit")
        return RunEdit(args);
    if (command == "props")
        return RunProps(args);
    if (command == "sse")
        return RunSse(args);
    if (command == "port")
        return RunPort(args);
    if (command == "online")
        return RunOnline(args);
    if (command == "build")
        return RunBuild(args);
    if (command == "run")
        return RunRun(args);
    return UsageError("unknown command '" + command + "'");
}
