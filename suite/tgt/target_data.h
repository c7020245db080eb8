// Where the library finds its data files, and the target table read from there.
#pragma once

#include "target_table.h"

#include <memory>
#include <string>

namespace rux::tgt {

// RUXEDIT_HOME when set, else the folder this library was loaded from.
std::string DataDirectory();

// The table of targets.ini in the data directory; an empty table when the file is missing. The file
// is read again when it or the data directory changes, so the suite can update it while tools run.
std::shared_ptr<const CTargetTable> CurrentTargetTable();

} // namespace rux::tgt
