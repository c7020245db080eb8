// UTF-16 payloads of other tools as program text (Windows-1252 bytes) and back from files.
#pragma once

#include <string>
#include <string_view>

namespace rux {

// Each UTF-16 code unit (or surrogate pair) becomes one byte of the code page. A character the
// code page lacks becomes "?", as the platform's conversion does when it is given no default
// character of its own; a lone surrogate counts as such a character.
std::string Utf16ToCp1252(std::u16string_view text);

// UTF-8 as UTF-16; a byte that starts no valid sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);

// Raw little-endian bytes as code units; an odd last byte is dropped.
std::u16string Utf16FromLittleEndian(std::string_view bytes);
std::u16string Utf16FromBigEndian(std::string_view bytes);
// The bytes a clipboard hands over for a UTF-16 format: little-endian as the platform stores it,
// unless a byte-order mark says otherwise (a file copied onto an X11 clipboard keeps its mark);
// the mark itself is dropped.
std::u16string Utf16FromClipboardBytes(std::string_view bytes);
// Little-endian bytes of the text followed by a zero code unit, as a clipboard holds it.
std::string Utf16ToLittleEndianZ(std::u16string_view text);

} // namespace rux
