// The suite's view of a program's node: a text file beside the program.
#pragma once

#include "h2tgt.h"

#include <string>

namespace rux::tgt {

// "<folder>/<name>.node" for "<folder>/<name>.<ext>"; the extension is replaced, or added when the
// program has none.
std::string NodeFilePath(const std::string& programPath);

// H2_ERR_NOT_FOUND when there is no node file; the record is then unchanged. Keys the file does not
// name leave their fields as the caller filled them.
H2STATUS ReadNodeFile(const std::string& path, RUXHEADERINFO& record);

// Writes a temporary file and renames it over the old one, so a failed write keeps the old record.
H2STATUS WriteNodeFile(const std::string& path, const RUXHEADERINFO& record);

} // namespace rux::tgt
