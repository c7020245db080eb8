#include "document/line_input.h"

#include "fileio/whole_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rux {
namespace {
constexpr size_t kChunk = 1 << 17;
}

CStrStdioFile::~CStrStdioFile() { Close(); }

bool CStrStdioFile::Open(const std::string& path) {
    Close();
    m_problem.clear();
    m_readError = 0;
    const int fd = OpenRegularFile(path, m_problem);
    if (fd < 0)
        return false;
    m_fd = fd;
    m_size = 0;
    m_pos = 0;
    m_eof = false;
    return true;
}

void CStrStdioFile::Close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_size = 0;
    m_pos = 0;
    m_eof = true;
}

void CStrStdioFile::Rewind() {
    if (m_fd < 0)
        return;
    if (::lseek(m_fd, 0, SEEK_SET) != 0) {
        m_readError = errno;
        m_problem = std::string("read error: ") + std::strerror(errno);
    }
    m_size = 0;
    m_pos = 0;
    m_eof = false;
}

// Appends the next chunk of the file to the unread part of the buffer; false at end of file.
bool CStrStdioFile::Fill() {
    if (m_eof || m_fd < 0)
        return false;
    // The unread rest moves to the front and the chunk is read behind it, into bytes nobody
    // clears first: zeroing 128 KiB before every read cost as much as the line splitting.
    if (m_pos > 0) {
        std::memmove(m_data.get(), m_data.get() + m_pos, m_size - m_pos);
        m_size -= m_pos;
        m_pos = 0;
    }
    if (m_capacity - m_size < kChunk) {
        const size_t capacity = std::max(2 * m_capacity, m_size + kChunk);
        std::unique_ptr<char[]> grown(new char[capacity]);
        if (m_size > 0)
            std::memcpy(grown.get(), m_data.get(), m_size);
        m_data = std::move(grown);
        m_capacity = capacity;
    }
    ssize_t n;
    do {
        n = ::read(m_fd, m_data.get() + m_size, kChunk);
    } while (n < 0 && errno == EINTR);
    if (n <= 0) {
        if (n < 0) {
            m_readError = errno;
            m_problem = std::string("read error: ") + std::strerror(errno);
        }
        m_eof = true;
        return false;
    }
    m_size += static_cast<size_t>(n);
    return true;
}

bool CStrStdioFile::TakeWholeLine(std::string_view& text) {
    const size_t avail = m_size - m_pos;
    if (!avail)
        return false;
    const char* begin = m_data.get() + m_pos;
    const char* end = static_cast<const char*>(std::memchr(begin, '\n', avail));
    if (!end)
        return false;
    const size_t length = static_cast<size_t>(end - begin);
    const char* cr = static_cast<const char*>(std::memchr(begin, '\r', length));
    if (!((!cr && length + 1 <= kMaxLine) || (cr == end - 1 && length <= kMaxLine)))
        return false;
    text = std::string_view(begin, cr ? length - 1 : length);
    m_pos += length + 1;
    return true;
}

bool CStrStdioFile::ReadLine(std::string& line) {
    line.clear();
    // Nearly every line lies whole in the buffer and holds no CR but the one before its LF: take it
    // in one copy. Anything else goes the long way below.
    if (std::string_view whole; TakeWholeLine(whole)) {
        line.reserve(whole.size() + 1);
        line.assign(whole);
        line.push_back('\n');
        return true;
    }
    for (;;) {
        const char* begin = m_data.get() + m_pos;
        const size_t avail = m_size - m_pos;
        const char* lf = avail ? static_cast<const char*>(std::memchr(begin, '\n', avail)) : nullptr;
        const size_t segment = lf ? static_cast<size_t>(lf - begin) + 1 : avail;
        // Copy the segment without its CR bytes, stopping once the line is full.
        size_t used = 0;
        while (used < segment && line.size() < kMaxLine) {
            const size_t want = std::min(segment - used, kMaxLine - line.size());
            const char* from = begin + used;
            const char* cr = static_cast<const char*>(std::memchr(from, '\r', want));
            if (!cr) {
                line.append(from, want);
                used += want;
            } else {
                line.append(from, static_cast<size_t>(cr - from));
                used += static_cast<size_t>(cr - from) + 1;
            }
        }
        m_pos += used;
        if (used == segment && lf)
            return true;
        if (line.size() >= kMaxLine) {
            // A full buffer ends the read; CRs right behind it would have been dropped anyway.
            while (m_pos < m_size && m_data[m_pos] == '\r')
                ++m_pos;
            if (m_pos < m_size || !Fill() || m_data[m_pos] != '\r')
                return true;
            continue;
        }
        if (!Fill())
            return !line.empty();
    }
}

bool CStrFile::ReadLineView(std::string_view& text, bool& lf, std::string& scratch) {
    if (!ReadLine(scratch))
        return false;
    lf = !scratch.empty() && scratch.back() == '\n';
    text = std::string_view(scratch.data(), scratch.size() - (lf ? 1 : 0));
    return true;
}

bool CStrStdioFile::ReadLineView(std::string_view& text, bool& lf, std::string& scratch) {
    // A whole line in the buffer is handed over where it stands; anything else is put together
    // by ReadLine.
    if (TakeWholeLine(text)) {
        lf = true;
        return true;
    }
    return CStrFile::ReadLineView(text, lf, scratch);
}

bool CStrMemFile::ReadLine(std::string& line) {
    std::string_view text; // always a view into the data: no scratch is needed
    bool lf = false;
    std::string unused;
    if (!ReadLineView(text, lf, unused)) {
        line.clear();
        return false;
    }
    line.assign(text);
    if (lf)
        line.push_back('\n');
    return true;
}

bool CStrMemFile::ReadLineView(std::string_view& text, bool& lf, std::string&) {
    // A line is always a run of the data, but for the CR of a CR LF pair, which is left out.
    if (m_pos >= m_data.size())
        return false;
    const std::string_view rest = m_data.substr(m_pos);
    const size_t end = rest.find('\n');
    if (end != std::string_view::npos && end > 0 && rest[end - 1] == '\r' && end <= kMaxLine) {
        text = rest.substr(0, end - 1);
        lf = true;
        m_pos += end + 1;
        return true;
    }
    const size_t segment = end == std::string_view::npos ? rest.size() : end + 1;
    const size_t take = std::min(segment, kMaxLine);
    lf = end != std::string_view::npos && take == segment;
    text = rest.substr(0, take - (lf ? 1 : 0));
    m_pos += take;
    return true;
}

} // namespace rux
