// A compact text picture of an item list, so reader tests can compare whole programs at a glance.
#pragma once

#include "document/item_list.h"
#include "document/program_reader.h"

#include <string>

namespace rux::test {

// One line per item: "P", "L<section>:<text>", "S<id>:<text>[+|-]", "F<section>:<text>",
// "D<section>:<FBD|QLD>:<title>:<open|close>:<zoom>:<payload bytes>"; bookmarked items get "*".
std::string Dump(const CObArrayEx& items);
std::string Dump(const ItemVector& items);

} // namespace rux::test
