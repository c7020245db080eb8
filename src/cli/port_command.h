// rux port: the porting scan of a program, for people and for CI.
#pragma once

#include "cli/cli_common.h"

namespace rux::cli {

// Exit code when the scan found issues.
inline constexpr int kExitPortIssues = 3;

int RunPort(const Args& args);

} // namespace rux::cli
