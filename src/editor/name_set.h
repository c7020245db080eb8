// A plain case-exact set of names with a quick first-byte and length rejection: identifiers for
// colouring where no program document keeps them (tests, benchmarks, previews).
#pragma once

#include "document/identifier_lookup.h"
#include "editor/keyword_table.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_set>

namespace rux {

class CNameSet final : public CIdentifierLookup {
public:
    CNameSet() = default;
    CNameSet(std::initializer_list<std::string_view> names) {
        for (std::string_view name : names)
            Insert(name);
    }

    void Insert(std::string_view name) {
        m_names.emplace(name);
        if (!name.empty())
            m_lengths[static_cast<unsigned char>(name[0])] |= uint64_t{1} << LengthBit(name.size());
    }
    void Clear() {
        m_names.clear();
        for (uint64_t& mask : m_lengths)
            mask = 0;
    }
    size_t Size() const { return m_names.size(); }

    // Most words of a line are no identifier (numbers, operators' neighbours); the first-byte and
    // length mask turns them away without hashing.
    bool Contains(std::string_view name) const override {
        if (name.empty()) return m_names.find(name) != m_names.end();
        if ((m_lengths[static_cast<unsigned char>(name[0])] >> LengthBit(name.size()) & 1) == 0) return false;
        return m_names.find(name) != m_names.end();
    }

private:
    struct CHash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const noexcept { return HashWord(s); }
    };
    static unsigned LengthBit(size_t length) { return length < 63 ? static_cast<unsigned>(length) : 63u; }

    std::unordered_set<std::string, CHash, std::equal_to<>> m_names;
    // Bit min(length, 63) of m_lengths[c]: some name of that length starts with byte c.
    uint64_t m_lengths[256] = {};
};

} // namespace rux
