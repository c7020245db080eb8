#include "document/output_stream.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace rux {

CFileOstream::CFileOstream(int fd) : m_fd(fd), m_buffer(new char[kBufferSize]) {
    m_cur = m_buffer.get();
    m_end = m_cur + kBufferSize;
}

CFileOstream::~CFileOstream() { Flush(); }

void CFileOstream::Overflow(std::string_view text) {
    Flush();
    if (text.size() >= kBufferSize) {
        WriteOut(text.data(), text.size());
        return;
    }
    std::memcpy(m_cur, text.data(), text.size());
    m_cur += text.size();
}

bool CFileOstream::Flush() {
    if (m_cur != m_buffer.get()) {
        WriteOut(m_buffer.get(), static_cast<size_t>(m_cur - m_buffer.get()));
        m_cur = m_buffer.get();
    }
    return !m_failed;
}

void CFileOstream::WriteOut(const char* data, size_t size) {
    while (size > 0 && !m_failed) {
        const ssize_t n = ::write(m_fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            m_failed = true;
            return;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
}

} // namespace rux
