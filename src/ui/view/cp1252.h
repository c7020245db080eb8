// Program text (Windows-1252 bytes) to and from Qt strings: the only place the two meet.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace rux {

QString FromCp1252(std::string_view bytes);
// False when some character has no byte in the code page; `out` then holds '?' in its place.
bool ToCp1252(const QString& text, std::string& out);
// The byte of one character, or -1 when the code page has none.
int Cp1252Byte(QChar c);

} // namespace rux
