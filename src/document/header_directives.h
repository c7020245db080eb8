// Recognises the "$" directive lines that carry the node properties in plain program text.
#pragma once

#include <string_view>

namespace rux {

// True when the line holds a header directive before any ";" or "//" comment start, in any case.
bool IsHeaderDirective(std::string_view line);

} // namespace rux
