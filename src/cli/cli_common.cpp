#include "cli/cli_common.h"

#include "target/h2tgt_library.h"
#include "target/suite_notifier.h"
#include "target/target_library.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace rux::cli {

void ReportFileError(const char* what, const std::string& path) {
    const int err = errno;
    std::fprintf(stderr, "rux: %s '%s': %s\n", what, path.c_str(), err ? std::strerror(err) : "failed");
}

int UsageError(const std::string& message) {
    std::fprintf(stderr, "rux: %s\nTry 'rux help' for the commands.\n", message.c_str());
    return kExitUsage;
}

struct CCliServices::Impl {
    std::unique_ptr<CTargetLibrary> target = CreateTargetLibrary();
    std::unique_ptr<CSuiteNotifier> notifier = std::make_unique<CNoSuiteNotifier>();
};

CCliServices::CCliServices() : m_impl(std::make_unique<Impl>()) {
    m_services.target = m_impl->target.get();
    m_services.notifier = m_impl->notifier.get();
}

CCliServices::~CCliServices() = default;

bool LoadProgram(CProgram& program, const std::string& path, const CCliServices& services) {
    errno = 0;
    if (Load(program, path, services.FileServices()))
        return true;
    ReportFileError("cannot read", path);
    return false;
}

bool SaveProgram(CProgram& program, const std::string& path, const CCliServices& services) {
    errno = 0;
    if (Save(program, path, services.FileServices()))
        return true;
    ReportFileError("cannot write", path);
    return false;
}

} // namespace rux::cli
