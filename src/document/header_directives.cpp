#include "document/header_directives.h"

#include "document/ascii_text.h"

#include <string>

namespace rux {

bool IsHeaderDirective(std::string_view line) {
    // "$ADRESS" is the spelling older programs were checked against; our own directive writer
    // emits "$Address", so "$ADDRESS" is accepted as well: a plain program written by this editor
    // converts back without its address line turning into a program statement.
    static const char* const kDirectives[] = {"$AUTHOR", "$COMPANY", "$TITLE",  "$VERSION", "$DRIVE",
                                              "$ADRESS", "$ADDRESS", "$TARGET", "$DEBUG",   "$SOURCE"};
    const std::string upper = UpperAsciiCopy(line);
    size_t limit = upper.find(';');
    const size_t slashes = upper.find("//");
    if (slashes < limit)
        limit = slashes;
    for (const char* directive : kDirectives) {
        const size_t at = upper.find(directive);
        if (at != std::string::npos && at < limit)
            return true;
    }
    return false;
}

} // namespace rux
