#include "image/image.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#if defined(__x86_64__)
#include <immintrin.h>
#endif
#include <cstring>
#include <fstream>
#include <iterator>

namespace rux::image {

namespace {

constexpr std::size_t kMaxFileSize = 64u << 20;
constexpr std::size_t kMaxName = 255;

// Tables for eight bytes at a time: s[k][b] is the CRC of byte b followed by k zero bytes.
struct CrcTable {
    uint32_t t[256];
    uint32_t s[8][256];
    CrcTable() {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        for (uint32_t i = 0; i < 256; ++i) {
            s[0][i] = t[i];
            for (int k = 1; k < 8; ++k) s[k][i] = (s[k - 1][i] >> 8) ^ t[s[k - 1][i] & 0xFF];
        }
    }
};
const CrcTable kCrc;

// Writes into storage sized beforehand: every field is a store at a moving position.
class Writer {
public:
    explicit Writer(uint8_t* at) : m_at(at) {}
    void u8(uint8_t v) { *m_at++ = v; }
    template <class Word> static void move(const char* from, uint8_t* to) {
        Word v;
        std::memcpy(&v, from, sizeof v);
        std::memcpy(to, &v, sizeof v);
    }
    void u16(uint16_t v) {
        m_at[0] = static_cast<uint8_t>(v);
        m_at[1] = static_cast<uint8_t>(v >> 8);
        m_at += 2;
    }
    void u32(uint32_t v) {
        m_at[0] = static_cast<uint8_t>(v);
        m_at[1] = static_cast<uint8_t>(v >> 8);
        m_at[2] = static_cast<uint8_t>(v >> 16);
        m_at[3] = static_cast<uint8_t>(v >> 24);
        m_at += 4;
    }
    void f64(double d) {
        uint64_t v;
        std::memcpy(&v, &d, 8);
        u32(static_cast<uint32_t>(v));
        u32(static_cast<uint32_t>(v >> 32));
    }
    void raw(const void* data, std::size_t n) {
        if (n) std::memcpy(m_at, data, n);
        m_at += n;
    }
    void name(std::string_view s) {
        const std::size_t n = std::min(s.size(), kMaxName);
        u8(static_cast<uint8_t>(n));
        // Names are a few bytes long: eight-byte moves and a tail, since for a copy known to be
        // below 256 bytes the compiler picks a string instruction whose start-up costs more than
        // the copy itself.
        // The last move of eight or four bytes overlaps the one before it.
        const char* from = s.data();
        if (n >= 8) {
            for (std::size_t k = 0; k + 8 < n; k += 8) move<uint64_t>(from + k, m_at + k);
            move<uint64_t>(from + n - 8, m_at + n - 8);
        } else if (n >= 4) {
            move<uint32_t>(from, m_at);
            move<uint32_t>(from + n - 4, m_at + n - 4);
        } else {
            for (std::size_t k = 0; k < n; ++k) m_at[k] = static_cast<uint8_t>(from[k]);
        }
        m_at += n;
    }
    void text(std::string_view s) {
        u32(static_cast<uint32_t>(s.size()));
        raw(s.data(), s.size());
    }
    uint8_t* at() const { return m_at; }

private:
    uint8_t* m_at;
};

std::size_t nameSize(std::string_view s) { return 1 + std::min(s.size(), kMaxName); }

class Reader {
public:
    Reader(const uint8_t* p, std::size_t n) : m_p(p), m_n(n) {}
    bool ok() const { return m_ok; }
    bool atEnd() const { return m_at == m_n; }
    std::size_t left() const { return m_n - m_at; }
    uint8_t u8() { return need(1) ? m_p[m_at++] : 0; }
    uint16_t u16() {
        if (!need(2)) return 0;
        const uint16_t v = static_cast<uint16_t>(m_p[m_at] | (m_p[m_at + 1] << 8));
        m_at += 2;
        return v;
    }
    uint32_t u32() {
        const uint32_t lo = u16();
        return lo | (static_cast<uint32_t>(u16()) << 16);
    }
    double f64() {
        const uint64_t lo = u32();
        const uint64_t v = lo | (static_cast<uint64_t>(u32()) << 32);
        double d;
        std::memcpy(&d, &v, 8);
        return d;
    }
    std::string name() {
        const std::size_t n = u8();
        return bytesOf(n);
    }
    std::string text() {
        const std::size_t n = u32();
        return bytesOf(n);
    }
    // A count of records of at least `minSize` bytes each that must fit in what is left.
    uint32_t count(std::size_t minSize) {
        const uint32_t n = u32();
        if (m_ok && static_cast<uint64_t>(n) * minSize > left()) m_ok = false;
        return m_ok ? n : 0;
    }

private:
    bool need(std::size_t k) {
        if (!m_ok || m_n - m_at < k) {
            m_ok = false;
            return false;
        }
        return true;
    }
    std::string bytesOf(std::size_t n) {
        if (!need(n)) return {};
        std::string s(reinterpret_cast<const char*>(m_p + m_at), n);
        m_at += n;
        return s;
    }
    const uint8_t* m_p;
    std::size_t m_n;
    std::size_t m_at = 0;
    bool m_ok = true;
};

uint32_t idOf(const uint8_t* data, std::size_t size) {
    uint32_t crc = crc32(data, kProgramIdOffset);
    const uint8_t zero[4] = {0, 0, 0, 0};
    crc = crc32(zero, 4, crc);
    return crc32(data + kProgramIdOffset + 4, size - kProgramIdOffset - 4, crc);
}

} // namespace

std::string_view NameStore::add(std::string_view prefix, std::string_view name) {
    const std::size_t total = prefix.size() + name.size();
    if (total > m_room) {
        constexpr std::size_t kChunk = 64 * 1024;
        const std::size_t size = std::max(kChunk, total);
        m_chunks.push_back(std::unique_ptr<char[]>(new char[size])); // filled by the names, not zeroed first
        m_free = m_chunks.back().get();
        m_room = size;
    }
    char* at = m_free;
    if (!prefix.empty()) std::memcpy(at, prefix.data(), prefix.size());
    if (!name.empty()) std::memcpy(at + prefix.size(), name.data(), name.size());
    m_free += total;
    m_room -= total;
    return std::string_view(at, total);
}

namespace {

bool fail(std::string& message, std::string text, Image& image) {
    message = std::move(text);
    image = Image();
    return false;
}

} // namespace

namespace {

uint32_t crcBytes(const uint8_t* data, std::size_t size, uint32_t crc) { // crc already inverted
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        const uint32_t lo = crc ^ (uint32_t{data[i]} | uint32_t{data[i + 1]} << 8 | uint32_t{data[i + 2]} << 16 |
                                   uint32_t{data[i + 3]} << 24);
        const uint32_t hi = uint32_t{data[i + 4]} | uint32_t{data[i + 5]} << 8 | uint32_t{data[i + 6]} << 16 |
                            uint32_t{data[i + 7]} << 24;
        crc = kCrc.s[7][lo & 0xFF] ^ kCrc.s[6][(lo >> 8) & 0xFF] ^ kCrc.s[5][(lo >> 16) & 0xFF] ^ kCrc.s[4][lo >> 24] ^
              kCrc.s[3][hi & 0xFF] ^ kCrc.s[2][(hi >> 8) & 0xFF] ^ kCrc.s[1][(hi >> 16) & 0xFF] ^ kCrc.s[0][hi >> 24];
    }
    for (; i < size; ++i) crc = kCrc.t[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc;
}

#if defined(__x86_64__)
// Carry-less multiplication folds 64 bytes per round into four 128-bit remainders, which are
// then folded into one and reduced to 32 bits (Barrett). `size` is a multiple of 16, at least
// 64; the constants are powers of x modulo the reflected polynomial.
[[gnu::target("pclmul,sse4.1")]] inline __m128i load16(const uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
// acc times x^128 (k3k4) plus next, modulo the polynomial's multiple.
[[gnu::target("pclmul,sse4.1")]] inline __m128i fold16(__m128i acc, __m128i next, __m128i k) {
    const __m128i lo = _mm_clmulepi64_si128(acc, k, 0x00);
    return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(acc, k, 0x11), next), lo);
}

[[gnu::target("pclmul,sse4.1")]] uint32_t crcFolded(const uint8_t* data, std::size_t size, uint32_t crc) {
    const __m128i k1k2 = _mm_set_epi64x(0x01c6e41596, 0x0154442bd4);
    const __m128i k3k4 = _mm_set_epi64x(0x00ccaa009e, 0x01751997d0);
    const __m128i k5 = _mm_set_epi64x(0, 0x0163cd6124);
    const __m128i poly = _mm_set_epi64x(0x01f7011641, 0x01db710641);
    __m128i x1 = _mm_xor_si128(load16(data), _mm_cvtsi32_si128(static_cast<int>(crc)));
    __m128i x2 = load16(data + 16), x3 = load16(data + 32), x4 = load16(data + 48);
    data += 64;
    size -= 64;
    for (; size >= 64; data += 64, size -= 64) {
        const __m128i x5 = _mm_clmulepi64_si128(x1, k1k2, 0x00), x6 = _mm_clmulepi64_si128(x2, k1k2, 0x00);
        const __m128i x7 = _mm_clmulepi64_si128(x3, k1k2, 0x00), x8 = _mm_clmulepi64_si128(x4, k1k2, 0x00);
        x1 = _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x1, k1k2, 0x11), x5), load16(data));
        x2 = _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x2, k1k2, 0x11), x6), load16(data + 16));
        x3 = _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x3, k1k2, 0x11), x7), load16(data + 32));
        x4 = _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x4, k1k2, 0x11), x8), load16(data + 48));
    }
    x1 = fold16(fold16(fold16(x1, x2, k3k4), x3, k3k4), x4, k3k4);
    for (; size >= 16; data += 16, size -= 16) x1 = fold16(x1, load16(data), k3k4);
    // 128 bits to 64, then to 32 by Barrett reduction.
    const __m128i mask = _mm_setr_epi32(~0, 0, ~0, 0);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), _mm_clmulepi64_si128(x1, k3k4, 0x10));
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, mask), k5, 0x00), _mm_srli_si128(x1, 4));
    __m128i x2r = _mm_clmulepi64_si128(_mm_and_si128(x1, mask), poly, 0x10);
    x2r = _mm_clmulepi64_si128(_mm_and_si128(x2r, mask), poly, 0x00);
    return static_cast<uint32_t>(_mm_extract_epi32(_mm_xor_si128(x1, x2r), 1));
}

const bool kHaveClmul = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
#endif

} // namespace

uint32_t crc32(const uint8_t* data, std::size_t size, uint32_t crc) {
    crc = ~crc;
#if defined(__x86_64__)
    if (size >= 64 && kHaveClmul) {
        const std::size_t folded = size & ~std::size_t{15};
        crc = crcFolded(data, folded, crc);
        data += folded;
        size -= folded;
    }
#endif
    return ~crcBytes(data, size, crc);
}

int Image::itemAt(uint32_t pc) const {
    auto it = std::upper_bound(lines.begin(), lines.end(), pc,
                               [](uint32_t v, const LineEntry& e) { return v < e.offset; });
    if (it == lines.begin()) return -1;
    return static_cast<int>(std::prev(it)->item);
}

namespace {

// Where every section of an image's file lies, known before a byte is written.
struct Layout {
    struct Section {
        uint32_t kind;
        std::size_t size;
    };
    Section sections[8];
    bool withSource = false;
    std::size_t count = 0; // the source section only when the image carries it
    std::size_t codeAt = 0; // the header, the section table and the task table come first
    std::size_t total = 0;
};

Layout layoutOf(const Image& image) {
    std::size_t tasks = 4, strings = 4, blocks = 4, symbols = 4;
    for (const TaskEntry& t : image.tasks) tasks += 2 + nameSize(t.name) + 4;
    for (const std::string& s : image.strings) strings += 4 + s.size();
    for (const BlockEntry& b : image.blocks) blocks += nameSize(b.name) + 12;
    for (const SymbolEntry& s : image.symbols) symbols += nameSize(s.name) + 9;
    const bool withSource = (image.flags & kFlagSource) != 0;
    Layout l{{
                 {kSectionTasks, tasks},
                 {kSectionCode, image.code.size()},
                 {kSectionConstants, 4 + 8 * image.constants.size()},
                 {kSectionStrings, strings},
                 {kSectionLines, 4 + 8 * image.lines.size()},
                 {kSectionBlocks, blocks},
                 {kSectionSymbols, symbols},
                 {kSectionSource, image.source.size()},
             }};
    l.withSource = withSource;
    l.count = std::size(l.sections) - (withSource ? 0 : 1);
    l.codeAt = kHeaderSize + 12 * l.count + tasks;
    l.total = kHeaderSize + 12 * l.count;
    for (std::size_t k = 0; k < l.count; ++k) l.total += l.sections[k].size;
    return l;
}

// The header, the section table and the task table: the bytes before the code.
void writeHead(uint8_t* out, const Image& image, const Layout& l) {
    Writer w(out);
    w.raw(kMagic, 4);
    w.u16(image.version);
    w.u16(image.flags);
    w.u32(0); // program identifier, filled in last
    w.u32(static_cast<uint32_t>(l.total));
    const std::size_t target = std::min<std::size_t>(image.targetType.size(), 15);
    w.raw(image.targetType.data(), target);
    w.raw("\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 16 - target);
    w.u32(image.globalCells);
    w.u32(static_cast<uint32_t>(l.count));
    std::size_t offset = kHeaderSize + 12 * l.count;
    for (std::size_t k = 0; k < l.count; ++k) {
        w.u32(l.sections[k].kind);
        w.u32(static_cast<uint32_t>(offset));
        w.u32(static_cast<uint32_t>(l.sections[k].size));
        offset += l.sections[k].size;
    }
    w.u32(static_cast<uint32_t>(image.tasks.size()));
    for (const TaskEntry& t : image.tasks) {
        w.u16(t.taskId);
        w.name(t.name);
        w.u32(t.entry);
    }
}

// Every section after the code, from `out` on.
void writeTail(uint8_t* out, const Image& image, const Layout& l) {
    Writer w(out);
    w.u32(static_cast<uint32_t>(image.constants.size()));
    for (double d : image.constants) w.f64(d);
    w.u32(static_cast<uint32_t>(image.strings.size()));
    for (const std::string& s : image.strings) w.text(s);
    w.u32(static_cast<uint32_t>(image.lines.size()));
    // The entries are two u32 each, offset first: on a little-endian processor their bytes in
    // memory are the file's.
    static_assert(sizeof(LineEntry) == 8 && offsetof(LineEntry, item) == 4);
    if constexpr (std::endian::native == std::endian::little) {
        w.raw(image.lines.data(), 8 * image.lines.size());
    } else {
        for (const LineEntry& e : image.lines) {
            w.u32(e.offset);
            w.u32(e.item);
        }
    }
    w.u32(static_cast<uint32_t>(image.blocks.size()));
    for (const BlockEntry& b : image.blocks) {
        w.name(b.name);
        w.u32(b.entry);
        w.u32(b.frameSize);
        w.u16(b.inputs);
        w.u16(b.outputs);
    }
    w.u32(static_cast<uint32_t>(image.symbols.size()));
    for (const SymbolEntry& s : image.symbols) {
        w.name(s.name);
        w.u32(s.address);
        w.u8(s.type);
        w.u32(s.elements);
    }
    if (l.withSource) w.raw(image.source.data(), image.source.size());
}

void stampProgramId(Bytes& bytes, Image& image) {
    image.programId = idOf(bytes.data(), bytes.size());
    Writer(bytes.data() + kProgramIdOffset).u32(image.programId);
}

} // namespace

Bytes writeImage(Image& image) {
    // The size of every section first, so that the file is written once into one buffer.
    const Layout l = layoutOf(image);
    Bytes bytes(l.total); // every byte is written below
    writeHead(bytes.data(), image, l);
    if (!image.code.empty()) std::memcpy(bytes.data() + l.codeAt, image.code.data(), image.code.size());
    writeTail(bytes.data() + l.codeAt + image.code.size(), image, l);
    stampProgramId(bytes, image);
    return bytes;
}

Bytes writeImageTakingCode(Image& image) {
    const Layout l = layoutOf(image);
    Bytes bytes = std::move(image.code);
    image.code = Bytes();
    if (bytes.capacity() < l.total) {
        // No room behind the code: it is copied into a file buffer of its own after all.
        image.code = std::move(bytes);
        Bytes file = writeImage(image);
        image.code = Bytes();
        return file;
    }
    // The code moves up behind the head within its own storage: the megabytes of a large program
    // lie in pages already written instead of being copied into fresh ones.
    const std::size_t code = bytes.size();
    bytes.resize(l.total); // within the capacity: nothing moves, nothing is filled
    if (code) std::memmove(bytes.data() + l.codeAt, bytes.data(), code);
    writeHead(bytes.data(), image, l);
    writeTail(bytes.data() + l.codeAt + code, image, l);
    stampProgramId(bytes, image);
    return bytes;
}

bool looksLikeImage(const uint8_t* data, std::size_t size) {
    return size >= 4 && std::memcmp(data, kMagic, 4) == 0;
}

bool readImage(const uint8_t* data, std::size_t size, Image& image, std::string& message) {
    image = Image();
    if (!looksLikeImage(data, size)) return fail(message, "not a compiled program image", image);
    if (size < kHeaderSize) return fail(message, "image header is truncated", image);
    Reader head(data + 4, kHeaderSize - 4);
    image.version = head.u16();
    image.flags = head.u16();
    image.programId = head.u32();
    const uint32_t fileSize = head.u32();
    if (image.version != kFormatVersion)
        return fail(message, "image format version " + std::to_string(image.version) + " is not supported (expected " +
                                 std::to_string(kFormatVersion) + ")", image);
    if (fileSize != size)
        return fail(message, "image size " + std::to_string(size) + " does not match its header (" +
                                 std::to_string(fileSize) + ")", image);
    if (idOf(data, size) != image.programId) return fail(message, "image checksum does not match (file damaged)", image);
    const char* target = reinterpret_cast<const char*>(data + 16);
    image.targetType.assign(target, strnlen(target, 16));
    Reader rest(data + 32, size - 32);
    image.globalCells = rest.u32();
    const uint32_t sectionCount = rest.count(12);
    if (!rest.ok()) return fail(message, "image section table is truncated", image);
    bool seen[9] = {};
    for (uint32_t i = 0; i < sectionCount; ++i) {
        const uint32_t kind = rest.u32();
        const uint32_t offset = rest.u32();
        const uint32_t length = rest.u32();
        if (offset > size || length > size - offset)
            return fail(message, "image section " + std::to_string(kind) + " lies outside the file", image);
        if (kind == 0 || kind > 8) continue; // a later version's section: skipped
        if (seen[kind]) return fail(message, "image section " + std::to_string(kind) + " appears twice", image);
        seen[kind] = true;
        Reader r(data + offset, length);
        switch (kind) {
        case kSectionTasks: {
            const uint32_t n = r.count(7);
            for (uint32_t k = 0; k < n && r.ok(); ++k) {
                TaskEntry t;
                t.taskId = r.u16();
                t.name = r.name();
                t.entry = r.u32();
                image.tasks.push_back(std::move(t));
            }
            break;
        }
        case kSectionCode:
            image.code.resize(length);
            if (length) std::memcpy(image.code.data(), data + offset, length);
            r = Reader(nullptr, 0);
            break;
        case kSectionConstants: {
            const uint32_t n = r.count(8);
            for (uint32_t k = 0; k < n && r.ok(); ++k) image.constants.push_back(r.f64());
            break;
        }
        case kSectionStrings: {
            const uint32_t n = r.count(4);
            for (uint32_t k = 0; k < n && r.ok(); ++k) image.strings.push_back(r.text());
            break;
        }
        case kSectionLines: {
            const uint32_t n = r.count(8);
            for (uint32_t k = 0; k < n && r.ok(); ++k) {
                LineEntry l;
                l.offset = r.u32();
                l.item = r.u32();
                if (!image.lines.empty() && l.offset < image.lines.back().offset)
                    return fail(message, "image line table is not in code order", image);
                image.lines.push_back(l);
            }
            break;
        }
        case kSectionSource: image.source.assign(reinterpret_cast<const char*>(data + offset), length); r = Reader(nullptr, 0); break;
        case kSectionSymbols: {
            const uint32_t n = r.count(10);
            for (uint32_t k = 0; k < n && r.ok(); ++k) {
                const std::string name = r.name();
                const uint32_t address = r.u32();
                const uint8_t type = r.u8();
                image.addSymbol(name, address, type, r.u32());
            }
            break;
        }
        case kSectionBlocks: {
            const uint32_t n = r.count(13);
            for (uint32_t k = 0; k < n && r.ok(); ++k) {
                BlockEntry b;
                b.name = r.name();
                b.entry = r.u32();
                b.frameSize = r.u32();
                b.inputs = r.u16();
                b.outputs = r.u16();
                image.blocks.push_back(std::move(b));
            }
            break;
        }
        }
        if (!r.ok() || !r.atEnd())
            return fail(message, "image section " + std::to_string(kind) + " is damaged", image);
    }
    if (!seen[kSectionTasks] || !seen[kSectionCode])
        return fail(message, "image has no task table or no code", image);
    for (const TaskEntry& t : image.tasks)
        if (t.entry >= image.code.size())
            return fail(message, "task " + t.name + " starts outside the code", image);
    for (const BlockEntry& b : image.blocks)
        if (b.entry >= image.code.size() || b.inputs + b.outputs > b.frameSize)
            return fail(message, "function block " + b.name + " is damaged", image);
    for (const LineEntry& l : image.lines)
        if (l.offset > image.code.size()) return fail(message, "image line table points outside the code", image);
    for (const SymbolEntry& s : image.symbols)
        if (s.elements == 0 || s.address > image.globalCells || s.elements > image.globalCells - s.address)
            return fail(message, "symbol " + std::string(s.name) + " lies outside the variables", image);
    message.clear();
    return true;
}

bool readImageFile(const std::string& path, Image& image, std::string& message) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        image = Image();
        message = "cannot open " + path;
        return false;
    }
    in.seekg(0, std::ios::end);
    const std::streamoff length = in.tellg();
    if (length < 0 || static_cast<std::size_t>(length) > kMaxFileSize) {
        image = Image();
        message = path + " is too large to be an image";
        return false;
    }
    in.seekg(0);
    std::vector<uint8_t> bytes(static_cast<std::size_t>(length));
    in.read(reinterpret_cast<char*>(bytes.data()), length);
    if (!in) {
        image = Image();
        message = "cannot read " + path;
        return false;
    }
    return readImage(bytes.data(), bytes.size(), image, message);
}

uint32_t fileProgramId(const std::string& path) {
    Image image;
    std::string message;
    return readImageFile(path, image, message) ? image.programId : 0;
}

} // namespace rux::image
