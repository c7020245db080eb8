#include "frame.h"

#include <cstring>

namespace rux::drive {

namespace {

uint32_t ReadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void AppendU32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

} // namespace

bool CFrameDecoder::CheckHeader() {
    if (m_header[0] != kMagic0 || m_header[1] != kMagic1) {
        m_error = "bad magic";
        return false;
    }
    if (m_header[2] != kProtocolVersion) {
        m_error = "unsupported protocol version " + std::to_string(m_header[2]);
        return false;
    }
    if (m_accept != nullptr && !m_accept(m_header[3])) {
        m_error = "unknown frame type " + std::to_string(m_header[3]);
        return false;
    }
    m_length = ReadU32(m_header + 8);
    if (m_length > kMaxPayload) {
        m_error = "frame length " + std::to_string(m_length) + " above the limit";
        return false;
    }
    m_frame.type = m_header[3];
    m_frame.id = ReadU32(m_header + 4);
    m_frame.payload.clear();
    return true;
}

bool CFrameDecoder::Feed(const uint8_t* data, std::size_t size, std::vector<CFrame>& out) {
    if (Failed()) return false;
    while (size > 0) {
        if (m_headerFill < kHeaderSize) {
            const std::size_t n = std::min(size, kHeaderSize - m_headerFill);
            std::memcpy(m_header + m_headerFill, data, n);
            m_headerFill += n;
            data += n;
            size -= n;
            if (m_headerFill < kHeaderSize) break;
            if (!CheckHeader()) return false;
        } else {
            const std::size_t n = std::min<std::size_t>(size, m_length - m_frame.payload.size());
            m_frame.payload.append(reinterpret_cast<const char*>(data), n);
            data += n;
            size -= n;
        }
        if (m_headerFill == kHeaderSize && m_frame.payload.size() == m_length) {
            out.push_back(std::move(m_frame));
            m_frame = CFrame{};
            m_headerFill = 0;
        }
    }
    return true;
}

std::string EncodeFrame(uint8_t type, uint32_t id, std::string_view payload) {
    std::string s;
    s.reserve(kHeaderSize + payload.size());
    s.push_back(static_cast<char>(kMagic0));
    s.push_back(static_cast<char>(kMagic1));
    s.push_back(static_cast<char>(kProtocolVersion));
    s.push_back(static_cast<char>(type));
    AppendU32(s, id);
    AppendU32(s, static_cast<uint32_t>(payload.size()));
    s.append(payload);
    return s;
}

CPayloadWriter& CPayloadWriter::U32(uint32_t v) {
    AppendU32(m_data, v);
    return *this;
}

CPayloadWriter& CPayloadWriter::F64(double v) {
    uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    AppendU32(m_data, static_cast<uint32_t>(bits));
    AppendU32(m_data, static_cast<uint32_t>(bits >> 32));
    return *this;
}

CPayloadWriter& CPayloadWriter::Str(std::string_view s) {
    if (s.size() > kMaxText) s = s.substr(0, kMaxText);
    m_data.push_back(static_cast<char>(s.size() & 0xFF));
    m_data.push_back(static_cast<char>(s.size() >> 8));
    m_data.append(s);
    return *this;
}

CPayloadWriter& CPayloadWriter::Blob(std::string_view s) {
    AppendU32(m_data, static_cast<uint32_t>(s.size()));
    m_data.append(s);
    return *this;
}

bool CPayloadReader::Need(std::size_t n) {
    if (!m_ok || m_data.size() - m_pos < n) {
        m_ok = false;
        return false;
    }
    return true;
}

uint32_t CPayloadReader::U32() {
    if (!Need(4)) return 0;
    const uint32_t v = ReadU32(reinterpret_cast<const uint8_t*>(m_data.data()) + m_pos);
    m_pos += 4;
    return v;
}

double CPayloadReader::F64() {
    const uint64_t lo = U32();
    const uint64_t hi = U32();
    if (!m_ok) return 0.0;
    const uint64_t bits = lo | hi << 32;
    double v = 0;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

std::string CPayloadReader::Str() {
    if (!Need(2)) return {};
    const auto* p = reinterpret_cast<const uint8_t*>(m_data.data()) + m_pos;
    const std::size_t n = static_cast<std::size_t>(p[0]) | static_cast<std::size_t>(p[1]) << 8;
    m_pos += 2;
    if (n > kMaxText || !Need(n)) {
        m_ok = false;
        return {};
    }
    std::string s(m_data.substr(m_pos, n));
    m_pos += n;
    return s;
}

std::string CPayloadReader::Blob() {
    const uint32_t n = U32();
    if (!m_ok || !Need(n)) return {};
    std::string s(m_data.substr(m_pos, n));
    m_pos += n;
    return s;
}

} // namespace rux::drive
