#include "document/identifier_scan.h"

#include "document/item.h"
#include "document/reserved_words.h"

namespace rux {

uint8_t ClassifyWord(std::string_view word) {
    uint8_t cls = IsReservedWord(word) ? kWordReserved : kWordName;
    if (EqualsNoCase(word, "$FLT")) cls |= kWordFlt;
    if (EqualsNoCase(word, "single") || EqualsNoCase(word, "double")) cls |= kWordPrecision;
    return cls;
}

void ScanLineIdentifiers(std::string_view line, const IdentifierSink& sink) {
    ScanLineIdentifiersWith(
        line, [](std::string_view word) { return std::pair(word, ClassifyWord(word)); },
        [&](std::string_view word) { sink(word); });
}

void ScanFbdIdentifiers(std::string_view payload, const IdentifierSink& sink) {
    ScanFbdIdentifiersWith(payload, [&](std::string_view word) { sink(word); });
}

} // namespace rux
