// The folder the editor's files and the suite's libraries are looked up in.
#pragma once

#include <string>

namespace rux {

// RUXEDIT_HOME when set and not empty, else the folder of the running executable; empty when neither
// can be had.
std::string ProductDirectory();

} // namespace rux
