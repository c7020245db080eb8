// Interned words: each distinct byte string gets a dense id, looked up by open addressing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rux {

// The identifier set looks a word up for every word of every line it scans; a flat table with the
// words in one pool keeps that to a hash, one or two probes and a memcmp.
class CWordTable {
public:
    static constexpr uint32_t kNone = UINT32_MAX;

    // The word's id; a new word gets the next id and `added` is set.
    uint32_t Intern(std::string_view word, bool& added);
    uint32_t Find(std::string_view word) const;
    std::string_view Word(uint32_t id) const {
        const CSpan& s = m_spans[id];
        return {m_pool.data() + s.offset, s.length};
    }
    size_t Size() const { return m_spans.size(); }
    void Clear();

private:
    struct CSpan {
        uint32_t offset;
        uint32_t length;
    };
    struct CSlot {
        uint64_t hash = 0;
        uint32_t id = kNone;
    };

    static uint64_t Hash(std::string_view word);
    size_t Probe(std::string_view word, uint64_t hash) const;
    void Grow();

    std::vector<CSlot> m_slots; // size a power of two, at most half full
    std::vector<CSpan> m_spans; // by id
    std::string m_pool;
};

} // namespace rux
