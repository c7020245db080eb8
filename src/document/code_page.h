// Conversion of program text (Windows-1252 bytes) for the outside world.
#pragma once

#include <string>
#include <string_view>

namespace rux {

// Every byte maps to one code point; the five bytes Windows-1252 leaves undefined map to the
// C1 control of the same number, so no byte is ever lost.
std::string Cp1252ToUtf8(std::string_view bytes);

} // namespace rux
