// What the line classifier asks of a program's identifiers: is this word one of them.
#pragma once

#include <string_view>

namespace rux {

class CIdentifierLookup {
public:
    virtual ~CIdentifierLookup() = default;
    // Exact comparison, as the word stands in the line.
    virtual bool Contains(std::string_view word) const = 0;
};

} // namespace rux
