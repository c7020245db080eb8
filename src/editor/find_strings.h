// Texts the find and replace commands show, addressed by their string numbers.
#pragma once

#include <string>
#include <string_view>

namespace rux {

// The numbers lie in a block of their own so that they never meet the shell's strings.
enum EFindStringId : int {
    IDS_FIND_FINISHED = 63200,
    IDS_FIND_REPLACED = 63201,
};

// The text of a find string, or an empty text for a number that has none (never null).
const char* LoadFindString(int id);

// The text with every "%1", "%2", ... replaced by the argument of that number.
std::string FormatFindString(int id, std::initializer_list<std::string_view> args);

} // namespace rux
