// The files a print hands to the print library: the selection (when there is one) and the program.
#pragma once

#include <string>

namespace rux {

class CEditSession;

inline constexpr const char* kPrintSelectionFile = "H2PrnSel.t";
inline constexpr const char* kPrintProgramFile = "H2Prn.t";

struct CPrintFiles {
    std::string program;   // the whole program in the program file format; empty when it was not written
    std::string selection; // the selection as the private clipboard format holds it; empty without one
};

// Writes both files into `directory` (the editor's own): the selection first, in the program file
// form limited to it, then the whole program. A stale selection file of an earlier print is removed
// when there is no selection, so the print library never prints an old one.
CPrintFiles WritePrintFiles(const CEditSession& session, const std::string& directory);

} // namespace rux
