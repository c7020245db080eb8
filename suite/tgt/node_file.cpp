#include "node_file.h"

#include "ini/ini_lines.h"

#include "fileio/safe_file.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

namespace rux::tgt {
namespace {

struct CField {
    const char* key;
    size_t offset;
    size_t size; // of the text buffer; 0 for a number
};

#define RUX_TEXT_FIELD(f)                                                                                    \
    { #f, offsetof(RUXHEADERINFO, f), sizeof(RUXHEADERINFO::f) }
#define RUX_NUMBER_FIELD(f)                                                                                  \
    { #f, offsetof(RUXHEADERINFO, f), 0 }

// In the record's order, so a node file reads like the header it mirrors.
const CField kFields[] = {
    RUX_TEXT_FIELD(Author),
    RUX_TEXT_FIELD(Company),
    RUX_TEXT_FIELD(Title),
    RUX_TEXT_FIELD(Version),
    RUX_TEXT_FIELD(Drive),
    RUX_TEXT_FIELD(Target),
    RUX_TEXT_FIELD(Type),
    RUX_NUMBER_FIELD(Address),
    RUX_NUMBER_FIELD(Debug),
    RUX_NUMBER_FIELD(Source),
    RUX_NUMBER_FIELD(V3),
    RUX_TEXT_FIELD(Name),
    RUX_TEXT_FIELD(Group),
    RUX_NUMBER_FIELD(PosHard),
    RUX_NUMBER_FIELD(PosLink),
    RUX_NUMBER_FIELD(OptionNumber),
    RUX_TEXT_FIELD(Network),
    RUX_TEXT_FIELD(Descriptor),
    RUX_NUMBER_FIELD(H2Lite),
    RUX_NUMBER_FIELD(FloatingPoint),
    RUX_NUMBER_FIELD(ClipParam),
    RUX_TEXT_FIELD(Library),
    RUX_TEXT_FIELD(RefLibs),
    RUX_TEXT_FIELD(OldLib),
    RUX_NUMBER_FIELD(UserProgEnabled),
    RUX_TEXT_FIELD(Reserved),
    RUX_NUMBER_FIELD(Reserved1),
    RUX_NUMBER_FIELD(Reserved2),
    RUX_NUMBER_FIELD(Clonable),
};

#undef RUX_TEXT_FIELD
#undef RUX_NUMBER_FIELD

// One line per field: line breaks and the escape character itself are escaped; every other byte,
// blanks at either end included, is stored as it is.
std::string Escape(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

std::string Unescape(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        const char next = s[++i];
        if (next == 'n')
            out += '\n';
        else if (next == 'r')
            out += '\r';
        else if (next == '\\')
            out += '\\';
        else {
            out += '\\'; // not ours: keep it
            out += next;
        }
    }
    return out;
}

void StoreText(char* dest, size_t size, const std::string& value) {
    const size_t n = std::min(value.size(), size - 1);
    std::memcpy(dest, value.data(), n);
    dest[n] = '\0';
}

} // namespace

std::string NodeFilePath(const std::string& programPath) {
    const size_t slash = programPath.find_last_of('/');
    const size_t dot = programPath.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    return (hasExtension ? programPath.substr(0, dot) : programPath) + ".node";
}

H2STATUS ReadNodeFile(const std::string& path, RUXHEADERINFO& record) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return H2_ERR_NOT_FOUND;
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<bool> seen(std::size(kFields), false);
    // Sections do not matter here, and a text keeps its blanks: the record stores them.
    ini::CLineReader reader(text, {";", false});
    ini::CLine line;
    while (reader.Next(line)) {
        if (line.kind != ini::ELineKind::Key) continue;
        const std::string_view key = line.name;
        const std::string_view value = line.value;
        for (size_t i = 0; i < std::size(kFields); ++i) {
            if (seen[i] || !ini::EqualNoCase(key, kFields[i].key)) continue;
            seen[i] = true; // first one wins
            char* field = reinterpret_cast<char*>(&record) + kFields[i].offset;
            if (kFields[i].size > 0)
                StoreText(field, kFields[i].size, Unescape(value));
            else {
                const int32_t v = ini::ParseInt(value);
                std::memcpy(field, &v, sizeof v);
            }
            break;
        }
    }
    return H2_OK;
}

H2STATUS WriteNodeFile(const std::string& path, const RUXHEADERINFO& record) {
    std::ostringstream out;
    const size_t slash = path.find_last_of('/');
    out << "; Node record of " << (slash == std::string::npos ? path : path.substr(slash + 1))
        << ", kept by the target library\n[Node]\n";
    for (const CField& f : kFields) {
        const char* field = reinterpret_cast<const char*>(&record) + f.offset;
        out << f.key << '=';
        if (f.size > 0)
            out << Escape(std::string_view(field, ::strnlen(field, f.size)));
        else {
            int32_t v = 0;
            std::memcpy(&v, field, sizeof v);
            out << v;
        }
        out << '\n';
    }
    return rux::WriteFileSafely(path, out.str()).ok ? H2_OK : H2_ERR_IO;
}

} // namespace rux::tgt
