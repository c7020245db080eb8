// The words that never count as identifiers of a program, whatever their case.
#pragma once

#include <string_view>

namespace rux {

bool IsReservedWord(std::string_view word);

} // namespace rux
