// The drive's wire format: length-prefixed binary frames, a decoder that resumes at any split,
// and readers/writers of the little-endian fields inside a payload.
#ifndef RUX_DRIVE_FRAME_H
#define RUX_DRIVE_FRAME_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rux::drive {

inline constexpr uint8_t kMagic0 = 'R';
inline constexpr uint8_t kMagic1 = 'D';
inline constexpr uint8_t kProtocolVersion = 1;
inline constexpr std::size_t kHeaderSize = 12;
// An image with its embedded source fits comfortably; anything larger is a broken peer.
inline constexpr uint32_t kMaxPayload = 8u * 1024u * 1024u;
inline constexpr uint32_t kMaxText = 4096;

struct CFrame {
    uint8_t type = 0;
    uint32_t id = 0;
    std::string payload;
};

// Whether a frame type is one this side accepts; the decoder refuses the rest.
using FrameTypeFilter = bool (*)(uint8_t type);

// Splits a byte stream into frames. Feed() takes any chunk; complete frames are appended to the
// output. The only state kept between chunks is the partial header or payload, so a frame split at
// any byte decodes the same as a whole one. After the first error the decoder stays failed.
class CFrameDecoder {
public:
    explicit CFrameDecoder(FrameTypeFilter accept) : m_accept(accept) {}

    // false once the stream is bad; Error() then says why.
    bool Feed(const uint8_t* data, std::size_t size, std::vector<CFrame>& out);
    bool Failed() const { return !m_error.empty(); }
    const std::string& Error() const { return m_error; }

private:
    bool CheckHeader();

    FrameTypeFilter m_accept;
    uint8_t m_header[kHeaderSize] = {};
    std::size_t m_headerFill = 0;  // bytes of the header seen; kHeaderSize while in the payload
    CFrame m_frame;
    uint32_t m_length = 0;  // payload length of the frame being read
    std::string m_error;
};

// Builds one frame, header included.
std::string EncodeFrame(uint8_t type, uint32_t id, std::string_view payload);

// Appends fields to a payload.
class CPayloadWriter {
public:
    CPayloadWriter& I32(int32_t v) { return U32(static_cast<uint32_t>(v)); }
    CPayloadWriter& U32(uint32_t v);
    CPayloadWriter& F64(double v);
    CPayloadWriter& Str(std::string_view s);   // u16 length, clipped to kMaxText
    CPayloadWriter& Blob(std::string_view s);  // u32 length
    const std::string& Data() const { return m_data; }
    std::string Take() { return std::move(m_data); }

private:
    std::string m_data;
};

// Reads fields of a payload. Every read checks the remaining length first; a read past the end,
// an over-long text or a blob longer than what is left marks the reader failed and yields zeros.
class CPayloadReader {
public:
    explicit CPayloadReader(std::string_view data) : m_data(data) {}
    int32_t I32() { return static_cast<int32_t>(U32()); }
    uint32_t U32();
    double F64();
    std::string Str();
    std::string Blob();
    bool Ok() const { return m_ok; }
    // A well-formed payload is consumed exactly.
    bool Done() const { return m_ok && m_pos == m_data.size(); }

private:
    bool Need(std::size_t n);
    std::string_view m_data;
    std::size_t m_pos = 0;
    bool m_ok = true;
};

} // namespace rux::drive

#endif
