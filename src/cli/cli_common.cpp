#include "cli/cli_common.h"

#include "document/message_sink.h"
#include "document/program_paths.h"
#include "document/string_table.h"
#include "target/group_mgr.h"
#include "target/h2tgt_library.h"
#include "target/library_service.h"
#include "target/sse_notifier.h"
#include "target/suite_notifier.h"
#include "target/target_library.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace rux::cli {

void ReportFileError(const char* what, const std::string& path) {
    const int err = errno;
    ReportFileError(what, path, err ? std::strerror(err) : "failed");
}

void ReportFileError(const char* what, const std::string& path, const std::string& reason) {
    std::fprintf(stderr, "rux: %s '%s': %s\n", what, path.c_str(), reason.c_str());
}

int UsageError(const std::string& message) {
    std::fprintf(stderr, "rux: %s\nTry 'rux help' for the commands.\n", message.c_str());
    return kExitUsage;
}

namespace {

// The editor shows these in a box; on the command line they go to stderr.
class CStderrMessageSink final : public CMessageSink {
public:
    void ShowMessage(int, const std::string& text) override {
        std::fprintf(stderr, "rux: %s\n", text.c_str());
        ++shown;
    }
    int shown = 0;
};

} // namespace

struct CCliServices::Impl {
    std::unique_ptr<CTargetLibrary> target = CreateTargetLibrary();
    std::unique_ptr<CSuiteNotifier> notifier = std::make_unique<CSseNotifier>();
    CGroupMgr groups;
    CStderrMessageSink messages;
    CH2LibraryService libraries;
};

CCliServices::CCliServices() : m_impl(std::make_unique<Impl>()) {
    m_services.target = m_impl->target.get();
    m_services.notifier = m_impl->notifier.get();
    m_impl->groups.Register(nullptr, kEditorToolName);
}

CDocumentServices CCliServices::DocumentServices() const {
    CDocumentServices services;
    services.target = m_impl->target.get();
    services.notifier = m_impl->notifier.get();
    services.groups = &m_impl->groups;
    // No window on the command line.
    services.saved = [groups = &m_impl->groups](const std::string& path) {
        groups->FileChanged(nullptr, path);
    };
    services.messages = &m_impl->messages;
    return services;
}

CLibraryService& CCliServices::Libraries() const {
    return m_impl->libraries;
}

int CCliServices::MessagesShown() const {
    return m_impl->messages.shown;
}

bool OpenProgram(CRUXDocument& document, const std::string& path, const CCliServices& services) {
    const int shownBefore = services.MessagesShown();
    errno = 0;
    if (document.OpenDocument(DocumentPathOf(path))) return true;
    ReportOpenFailure(document, path, services, shownBefore);
    return false;
}

void ReportOpenFailure(const CRUXDocument& document, const std::string& path, const CCliServices& services,
                       int shownBefore) {
    // A refusal that the document explained needs no second line.
    if (services.MessagesShown() != shownBefore) return;
    if (document.OpenError().empty())
        ReportFileError("cannot read", path);
    else
        ReportFileError("cannot read", path, document.OpenError());
}

bool RefuseLightEdition(const std::string& path, const CCliServices& services) {
    CTargetLibrary* target = services.DocumentServices().target;
    if (!target || target->IsValidHalmLiteFile(path) != 1) return false;
    services.DocumentServices().messages->ShowMessage(kStrLightEditionFile, LoadString(kStrLightEditionFile));
    return true;
}

CCliServices::~CCliServices() = default;

bool SaveProgram(const CProgram& program, const std::string& path, const CCliServices& services) {
    const CWriteResult result = SaveProgramFile(program, DocumentPathOf(path), services.FileServices());
    if (!result) ReportFileError("cannot write", path, result.reason);
    return result.ok;
}

} // namespace rux::cli
