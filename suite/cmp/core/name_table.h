// Names to small non-negative numbers (a variable's index in its scope), looked up with a view
// of the token's text. Open addressing over one array; the first 16 bytes of a name are kept in
// the slot itself, so a lookup compares two words instead of following a pointer to a string.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace rux::cmp {

class NameTable {
public:
    // The number stored for `name`, -1 when it has none.
    [[gnu::always_inline]] int find(std::string_view name) const {
        if (m_slots.empty()) return -1;
        const Key k(name);
        for (std::size_t i = k.hash & m_mask;; i = (i + 1) & m_mask) {
            const Slot& s = m_slots[i];
            if (s.value < 0) return -1;
            if (s.matches(k, name, m_long)) return s.value;
        }
    }
    bool contains(std::string_view name) const { return find(name) >= 0; }

    // Stores `value` (>= 0) for `name`, replacing what it had.
    void set(std::string_view name, int value) {
        if (2 * (m_count + 1) > m_slots.size()) grow();
        const Key k(name);
        std::size_t i = k.hash & m_mask;
        for (;; i = (i + 1) & m_mask) {
            Slot& s = m_slots[i];
            if (s.value < 0) break;
            if (s.matches(k, name, m_long)) {
                s.value = value;
                return;
            }
        }
        Slot& s = m_slots[i];
        s.w0 = k.w0;
        s.w1 = k.w1;
        s.size = static_cast<uint32_t>(name.size());
        s.value = value;
        if (name.size() > 16) {
            s.whole = static_cast<uint32_t>(m_long.size());
            m_long.append(name);
        }
        ++m_count;
    }

    std::size_t size() const { return m_count; }

private:
    static uint64_t load8(const char* p) {
        uint64_t v;
        std::memcpy(&v, p, 8);
        return v;
    }
    static uint32_t load4(const char* p) {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }

    // Both halves of a 128-bit product: every bit of either word reaches the low bits that pick
    // the slot.
    static uint64_t mix(uint64_t a, uint64_t b) {
        __extension__ using Wide = unsigned __int128;
        const Wide m = static_cast<Wide>(a ^ 0x9E3779B97F4A7C15ull) * (b ^ 0xC2B2AE3D27D4EB4Full);
        return static_cast<uint64_t>(m) ^ static_cast<uint64_t>(m >> 64);
    }

    // The first 16 bytes of a name, zero-padded, as two words; read without touching a byte past
    // the name's end.
    struct Key {
        uint64_t w0 = 0, w1 = 0, hash = 0;
        [[gnu::always_inline]] explicit Key(std::string_view s) {
            const std::size_t n = s.size();
            const char* p = s.data();
            if (n >= 16) {
                w0 = load8(p);
                w1 = load8(p + 8);
            } else if (n >= 8) {
                w0 = load8(p);
                w1 = n > 8 ? load8(p + n - 8) >> (8 * (16 - n)) : 0;
            } else if (n >= 4) {
                const uint32_t hi = n > 4 ? load4(p + n - 4) >> (8 * (8 - n)) : 0;
                w0 = load4(p) | uint64_t{hi} << 32;
            } else if (n > 0) {
                const auto b = [&](std::size_t k) { return uint64_t{static_cast<unsigned char>(p[k])} << (8 * k); };
                w0 = b(0) | b(n / 2) | b(n - 1);
            }
            hash = mix(w0 ^ n, w1 ^ (n > 16 ? load8(p + n - 8) : 0));
        }
    };

    struct Slot {
        uint64_t w0 = 0, w1 = 0;
        uint32_t size = 0;
        int32_t value = -1;         // -1: the slot is free
        uint32_t whole = 0;          // a name longer than 16 bytes: where it starts in m_long
        bool matches(const Key& k, std::string_view name, const std::string& longNames) const {
            return w0 == k.w0 && w1 == k.w1 && size == name.size() &&
                   (size <= 16 || std::memcmp(longNames.data() + whole + 16, name.data() + 16, size - 16) == 0);
        }
    };

    // The hash of a stored name, from its slot (a long name's last bytes are in m_long).
    uint64_t hashOf(const Slot& s) const {
        if (s.size > 16) return Key(std::string_view(m_long.data() + s.whole, s.size)).hash;
        return mix(s.w0 ^ s.size, s.w1);
    }

    void grow() {
        std::vector<Slot> old = std::move(m_slots);
        m_slots.assign(old.empty() ? 64 : 2 * old.size(), Slot());
        m_mask = m_slots.size() - 1;
        for (const Slot& s : old) {
            if (s.value < 0) continue;
            std::size_t i = hashOf(s) & m_mask;
            while (m_slots[i].value >= 0) i = (i + 1) & m_mask;
            m_slots[i] = s;
        }
    }

    std::vector<Slot> m_slots;
    std::size_t m_mask = 0;
    std::size_t m_count = 0;
    std::string m_long; // the names longer than 16 bytes, one after the other
};

} // namespace rux::cmp
