#include "document/identifier_scan.h"

#include "document/item.h"
#include "document/reserved_words.h"

namespace rux {
namespace {

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsWordStart(char c) {
    return IsAsciiLetter(c) || c == '_' || c == '#' || c == '$';
}
bool IsWordPart(char c) {
    return IsAsciiLetter(c) || (c >= '0' && c <= '9') || c == '_' || c == '.' || c == '%' || c == '[' ||
           c == ']';
}

// Names in the payload live in fixed buffers of the diagram controls.
constexpr size_t kMaxDiagramName = 255;

} // namespace

void ScanLineIdentifiers(std::string_view line, const IdentifierSink& sink) {
    const size_t n = line.size();
    size_t i = 0;
    while (i < n && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    bool afterFlt = false;
    while (i < n) {
        const char c = line[i];
        if (c == ';' || (c == '/' && i + 1 < n && line[i + 1] == '/')) return;
        if (c == '"') {
            // An unclosed string runs to the end of the line, so nothing after it counts.
            const size_t close = line.find('"', i + 1);
            if (close == std::string_view::npos) return;
            i = close + 1;
            continue;
        }
        if (!IsWordStart(c)) {
            // Digits and operators are passed one at a time: "12abc" still yields "abc", which is how
            // the colouring reads such a line too.
            ++i;
            continue;
        }
        const size_t start = i;
        ++i;
        while (i < n && IsWordPart(line[i]))
            ++i;
        const std::string_view word = line.substr(start, i - start);
        if (i < n && line[i] == ':') {
            afterFlt = false;
            continue; // a label
        }
        if (EqualsNoCase(word, "$FLT")) {
            afterFlt = true;
            continue;
        }
        const bool precision = EqualsNoCase(word, "single") || EqualsNoCase(word, "double");
        const bool skip = (afterFlt && precision) || IsReservedWord(word);
        afterFlt = false;
        if (!skip) sink(word);
    }
}

void ScanFbdIdentifiers(std::string_view payload, const IdentifierSink& sink) {
    size_t at = 0;
    while ((at = payload.find("@VAR:", at)) != std::string_view::npos) {
        const size_t x = payload.find("X=", at + 5);
        if (x == std::string_view::npos) return;
        const size_t start = x + 2;
        size_t end = payload.find('\n', start);
        if (end == std::string_view::npos) end = payload.size();
        at = end;
        std::string_view name = payload.substr(start, end - start);
        if (!name.empty() && name.back() == '\r') name.remove_suffix(1);
        if (name.size() > kMaxDiagramName) name = name.substr(0, kMaxDiagramName);
        if (!name.empty() && IsWordStart(name.front())) sink(name);
    }
}

} // namespace rux
