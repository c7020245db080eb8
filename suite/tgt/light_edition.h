// Recognises the program files of the suite's light edition.
#pragma once

#include <string>

namespace rux::tgt {

// True when the file is in the program file format and the "H2Lite" line of its first "Ident" block
// holds a non-zero number. Any file that cannot be read, or has no such line, is not one.
bool IsLightEditionFile(const std::string& programPath);

} // namespace rux::tgt
