// The rule a library name must follow to become a folder and a file of the library service.
#pragma once

#include <string_view>

namespace rux {

// A first byte from "A" up, later bytes from "0" up, none of the excluded punctuation; "%" only last.
bool IsValidLibraryName(std::string_view name);

} // namespace rux
