// File names are local 8-bit text (UTF-8 on Linux); program text and the string table are
// Windows-1252. A text that holds both is put together from the two, each converted its own way.
#pragma once

#include <QString>

#include <initializer_list>
#include <string>
#include <string_view>

namespace rux {

QString FromFileName(std::string_view bytes);
std::string ToFileName(const QString& name);

// A text of the string table with %1 to %9 replaced by texts already converted, so that a file
// name put into a message keeps its characters.
QString FormatQString(int id, std::initializer_list<QString> args);

// A line of the Build tab: the file name a place starts with is a file name, the rest is the
// compiler's text in the program's code page.
QString BuildLineText(std::string_view line);

} // namespace rux
