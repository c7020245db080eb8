// Shared pieces of the rux commands: exit codes, error reporting, loading a program.
#pragma once

#include "document/program.h"
#include "document/program_file.h"
#include "document/rux_document.h"

#include <memory>
#include <string>
#include <vector>

namespace rux {
class CLibraryService;
}

namespace rux::cli {

enum EExit : int { kExitOk = 0, kExitFile = 1, kExitUsage = 2 };

using Args = std::vector<std::string>;

// Prints "rux: <what> '<path>': <reason from errno>" on stderr.
void ReportFileError(const char* what, const std::string& path);
// Prints "rux: <what> '<path>': <reason>" on stderr.
void ReportFileError(const char* what, const std::string& path, const std::string& reason);
// Prints "rux: <message>" and the usage line of the command on stderr.
int UsageError(const std::string& message);

// The suite services the command line works with, loaded once.
class CCliServices {
public:
    CCliServices();
    ~CCliServices();
    CCliServices(const CCliServices&) = delete;
    CCliServices& operator=(const CCliServices&) = delete;
    const CProgramFileServices& FileServices() const { return m_services; }
    // Target, message bus, groups (registered as the editor) and a message sink that prints on stderr.
    CDocumentServices DocumentServices() const;
    CLibraryService& Libraries() const;
    // How many messages the document code has shown so far.
    int MessagesShown() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
    CProgramFileServices m_services;
};

// Opens as the editor opens a program document; reports a failure and returns false.
bool OpenProgram(CRUXDocument& document, const std::string& path, const CCliServices& services);
// After a failed open: the reason, unless the document already showed a message of its own since
// shownBefore (services.MessagesShown() taken before the open).
void ReportOpenFailure(const CRUXDocument& document, const std::string& path, const CCliServices& services,
                       int shownBefore);
// The light edition's programs are refused by every command, as the document refuses them; true
// when path is one (the message is then shown).
bool RefuseLightEdition(const std::string& path, const CCliServices& services);
// Saves as the editor saves a modified document; reports a failure and returns false.
bool SaveProgram(const CProgram& program, const std::string& path, const CCliServices& services);

int RunInfo(const Args& args);
int RunResave(const Args& args);
int RunText(const Args& args);
int RunConvert(const Args& args);
int RunEdit(const Args& args);
int RunProps(const Args& args);
int RunSse(const Args& args);
int RunOnline(const Args& args);
int RunBuild(const Args& args);
int RunRun(const Args& args);

// Compiled images: whether the file starts like one, and its description for rux info.
bool IsImageFile(const std::string& path);
int PrintImageInfo(const std::string& path, bool asJson);

} // namespace rux::cli
