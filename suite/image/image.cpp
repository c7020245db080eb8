#include "image/image.h"

#include <algorithm>
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

class Writer {
public:
    std::vector<uint8_t> bytes;
    void u8(uint8_t v) { bytes.push_back(v); }
    void u16(uint16_t v) {
        u8(static_cast<uint8_t>(v));
        u8(static_cast<uint8_t>(v >> 8));
    }
    void u32(uint32_t v) {
        u16(static_cast<uint16_t>(v));
        u16(static_cast<uint16_t>(v >> 16));
    }
    void f64(double d) {
        uint64_t v;
        std::memcpy(&v, &d, 8);
        u32(static_cast<uint32_t>(v));
        u32(static_cast<uint32_t>(v >> 32));
    }
    void name(std::string_view s) {
        const std::size_t n = std::min(s.size(), kMaxName);
        u8(static_cast<uint8_t>(n));
        bytes.insert(bytes.end(), s.begin(), s.begin() + static_cast<std::ptrdiff_t>(n));
    }
    void text(std::string_view s) {
        u32(static_cast<uint32_t>(s.size()));
        bytes.insert(bytes.end(), s.begin(), s.end());
    }
    void put32(std::size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }
};

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

bool fail(std::string& message, std::string text, Image& image) {
    message = std::move(text);
    image = Image();
    return false;
}

} // namespace

uint32_t crc32(const uint8_t* data, std::size_t size, uint32_t crc) {
    crc = ~crc;
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
    return ~crc;
}

int Image::itemAt(uint32_t pc) const {
    auto it = std::upper_bound(lines.begin(), lines.end(), pc,
                               [](uint32_t v, const LineEntry& e) { return v < e.offset; });
    if (it == lines.begin()) return -1;
    return static_cast<int>(std::prev(it)->item);
}

std::vector<uint8_t> writeImage(Image& image) {
    std::vector<std::pair<uint32_t, std::vector<uint8_t>>> sections;
    auto add = [&](uint32_t kind, Writer& w) { sections.emplace_back(kind, std::move(w.bytes)); };
    {
        Writer w;
        w.u32(static_cast<uint32_t>(image.tasks.size()));
        for (const TaskEntry& t : image.tasks) {
            w.u16(t.taskId);
            w.name(t.name);
            w.u32(t.entry);
        }
        add(kSectionTasks, w);
    }
    {
        Writer w;
        w.bytes = image.code;
        add(kSectionCode, w);
    }
    {
        Writer w;
        w.u32(static_cast<uint32_t>(image.constants.size()));
        for (double d : image.constants) w.f64(d);
        add(kSectionConstants, w);
    }
    {
        Writer w;
        w.u32(static_cast<uint32_t>(image.strings.size()));
        for (const std::string& s : image.strings) w.text(s);
        add(kSectionStrings, w);
    }
    {
        Writer w;
        w.u32(static_cast<uint32_t>(image.lines.size()));
        for (const LineEntry& l : image.lines) {
            w.u32(l.offset);
            w.u32(l.item);
        }
        add(kSectionLines, w);
    }
    {
        Writer w;
        w.u32(static_cast<uint32_t>(image.blocks.size()));
        for (const BlockEntry& b : image.blocks) {
            w.name(b.name);
            w.u32(b.entry);
            w.u32(b.frameSize);
            w.u16(b.inputs);
            w.u16(b.outputs);
        }
        add(kSectionBlocks, w);
    }
    {
        Writer w;
        w.u32(static_cast<uint32_t>(image.symbols.size()));
        for (const SymbolEntry& s : image.symbols) {
            w.name(s.name);
            w.u32(s.address);
            w.u8(s.type);
            w.u32(s.elements);
        }
        add(kSectionSymbols, w);
    }
    if (image.flags & kFlagSource) {
        Writer w;
        w.bytes.assign(image.source.begin(), image.source.end());
        add(kSectionSource, w);
    }

    Writer out;
    out.bytes.insert(out.bytes.end(), kMagic, kMagic + 4);
    out.u16(image.version);
    out.u16(image.flags);
    out.u32(0); // program identifier, filled in below
    out.u32(0); // file size
    std::string target = image.targetType.substr(0, 15);
    target.resize(16, '\0');
    out.bytes.insert(out.bytes.end(), target.begin(), target.end());
    out.u32(image.globalCells);
    out.u32(static_cast<uint32_t>(sections.size()));
    std::size_t at = out.bytes.size() + sections.size() * 12;
    for (const auto& [kind, bytes] : sections) {
        out.u32(kind);
        out.u32(static_cast<uint32_t>(at));
        out.u32(static_cast<uint32_t>(bytes.size()));
        at += bytes.size();
    }
    for (const auto& s : sections) out.bytes.insert(out.bytes.end(), s.second.begin(), s.second.end());
    out.put32(12, static_cast<uint32_t>(out.bytes.size()));
    image.programId = idOf(out.bytes.data(), out.bytes.size());
    out.put32(kProgramIdOffset, image.programId);
    return std::move(out.bytes);
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
        case kSectionCode: image.code.assign(data + offset, data + offset + length); r = Reader(nullptr, 0); break;
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
                SymbolEntry s;
                s.name = r.name();
                s.address = r.u32();
                s.type = r.u8();
                s.elements = r.u32();
                image.symbols.push_back(std::move(s));
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
            return fail(message, "symbol " + s.name + " lies outside the variables", image);
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
