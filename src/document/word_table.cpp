#include "document/word_table.h"

#include <cstring>

namespace rux {

uint64_t CWordTable::Hash(std::string_view word) {
    // Eight bytes at a time, then the tail; a multiply and a shift mix each step. Most identifiers
    // fit one or two steps.
    constexpr uint64_t kMul = 0x9E3779B97F4A7C15ull;
    uint64_t h = word.size() * kMul;
    const char* p = word.data();
    size_t n = word.size();
    for (; n >= 8; n -= 8, p += 8) {
        uint64_t v;
        std::memcpy(&v, p, 8);
        h = (h ^ v) * kMul;
        h ^= h >> 29;
    }
    if (n > 0) {
        uint64_t v = 0;
        for (size_t k = 0; k < n; ++k)
            v |= static_cast<uint64_t>(static_cast<unsigned char>(p[k])) << (8 * k);
        h = (h ^ v) * kMul;
        h ^= h >> 29;
    }
    return h;
}

namespace {

// Short words are compared inline; the library call costs more than the comparison.
bool SameBytes(const char* a, const char* b, size_t n) {
    if (n > 16) return std::memcmp(a, b, n) == 0;
    for (size_t k = 0; k < n; ++k)
        if (a[k] != b[k]) return false;
    return true;
}

} // namespace

size_t CWordTable::Probe(std::string_view word, uint64_t hash) const {
    const size_t mask = m_slots.size() - 1;
    size_t at = static_cast<size_t>(hash >> 32 ^ hash) & mask;
    for (;;) {
        const CSlot& slot = m_slots[at];
        if (slot.id == kNone) return at;
        if (slot.hash == hash) {
            const CSpan& s = m_spans[slot.id];
            if (s.length == word.size() && SameBytes(m_pool.data() + s.offset, word.data(), word.size()))
                return at;
        }
        at = (at + 1) & mask;
    }
}

uint32_t CWordTable::Find(std::string_view word) const {
    if (m_slots.empty()) return kNone;
    return m_slots[Probe(word, Hash(word))].id;
}

uint32_t CWordTable::Intern(std::string_view word, bool& added) {
    added = false;
    if (2 * (m_spans.size() + 1) > m_slots.size()) Grow();
    const uint64_t hash = Hash(word);
    CSlot& slot = m_slots[Probe(word, hash)];
    if (slot.id != kNone) return slot.id;
    added = true;
    slot.hash = hash;
    slot.id = static_cast<uint32_t>(m_spans.size());
    m_spans.push_back({static_cast<uint32_t>(m_pool.size()), static_cast<uint32_t>(word.size())});
    m_pool.append(word);
    return slot.id;
}

void CWordTable::Grow() {
    std::vector<CSlot> old = std::move(m_slots);
    m_slots.assign(old.empty() ? 1024 : old.size() * 2, CSlot{});
    const size_t mask = m_slots.size() - 1;
    for (const CSlot& slot : old) {
        if (slot.id == kNone) continue;
        size_t at = static_cast<size_t>(slot.hash >> 32 ^ slot.hash) & mask;
        while (m_slots[at].id != kNone)
            at = (at + 1) & mask;
        m_slots[at] = slot;
    }
}

void CWordTable::Clear() {
    m_slots.clear();
    m_spans.clear();
    m_pool.clear();
}

} // namespace rux
