// The compiler library's C interface.
#include "h2cmp.h"

#include "core/build.h"

#include <atomic>
#include <string>

namespace {

std::atomic<H2CMPDELIVERPROC> g_deliver{nullptr};

} // namespace

H2_API void H2Cmp_SetDeliverProc(H2CMPDELIVERPROC proc) try {
    g_deliver.store(proc);
} catch (...) {
}

H2_API int32_t H2Cmp_Compile(const char* programPath, int32_t warningFlag, H2HWND buildBar,
                             int32_t systemControlFlag) try {
    (void)systemControlFlag; // the suite's setting changes nothing in how a program compiles
    if (programPath == nullptr || *programPath == '\0') return 0;
    const H2CMPDELIVERPROC deliver = g_deliver.load();
    const rux::cmp::BuildOutcome outcome = rux::cmp::BuildProgram(
        programPath, warningFlag == 0,
        [&](const std::string& line) {
            if (deliver) deliver(buildBar, line.c_str());
        },
        rux::cmp::DataDirectory());
    return outcome.ok ? 1 : 0;
} catch (...) {
    return 0;
}

H2_API int32_t H2Cmp_CompileOrder(const char* diagramPath, const char* target) {
    (void)diagramPath;
    (void)target;
    return 0; // the diagram payloads have no executable form yet
}
