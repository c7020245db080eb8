// A whole build of a program file: read it with the core's reader (core/program_source.h), compile, write NAME.ERR and,
// without errors, NAME.bin and NAME.sym beside it.
#pragma once

#include "core/compiler.h"

#include <functional>
#include <string>
#include <vector>

namespace rux {
class CProgram;
struct CRuxHeader;
}

namespace rux::cmp {

struct BuildOutcome {
    bool ok = false;                  // image and symbols written
    std::vector<std::string> lines;   // the delivered lines, summary last
    std::vector<Message> messages;    // the delivered messages
    int errors = 0, warnings = 0;
    std::string errorFile, imageFile, symbolFile;
};

using DeliverLine = std::function<void(const std::string&)>;

// stopOnWarning: a warning fails the build; the messages stop after the first one.
BuildOutcome BuildProgram(const std::string& programPath, bool stopOnWarning, const DeliverLine& deliver,
                          const std::string& dataDir);

// The data directory: $RUXEDIT_HOME, else the folder of the running library or program.
std::string DataDirectory();

// The program's items in the compiler's form, and the compile options its header (null: none) and
// the data files give (target tasks, block limits, no-bracket built-ins).
std::vector<SourceItem> ItemsOf(const CProgram& program);
Options OptionsFor(const CRuxHeader* header, const std::string& dataDir);
Options OptionsFor(const CProgram& program, const std::string& dataDir);

// A library's text (plain-text sections, "Title{" ... "}") as the compiler takes it.
LibraryItems LibraryFromText(const std::string& name, std::string_view text);

// Reads a program from memory as a program file (for tests and the fuzzer).
bool ProgramFromText(std::string_view text, CProgram& program);

} // namespace rux::cmp
