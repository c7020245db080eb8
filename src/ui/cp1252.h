// Program text and the string table (Windows-1252 bytes) to and from Qt strings: the only place the
// two meet.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace rux {

QString FromCp1252(std::string_view bytes);
// False when some character has no byte in the code page; `out` then holds '?' in its place.
bool ToCp1252(const QString& text, std::string& out);
// The same for callers that take the '?' as it comes: no program text can hold those characters.
std::string ToCp1252(const QString& text);
// The byte of one character, or -1 when the code page has none.
int Cp1252Byte(QChar c);
// A text of the string table.
QString LoadQString(int id);

} // namespace rux
