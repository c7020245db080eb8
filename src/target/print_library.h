// The suite's print library (H2Prn), loaded for one print and released after it.
#pragma once

#include <string>

namespace rux {

// Hands the program print file to the library's PrnPrintRUX with the document title and the owner
// window. The library comes from `directory` (the product directory when empty). False, doing
// nothing, when the library or its entry is missing.
bool PrintWithLibrary(const std::string& printFile, const std::string& title, void* owner,
                      const std::string& directory = {});

} // namespace rux
