#include "document/output_stream.h"

#include <cerrno>
#include <unistd.h>

namespace rux {

CFileOstream::~CFileOstream() { Flush(); }

void CFileOstream::Write(std::string_view text) {
    if (m_buffer.size() + text.size() > kBufferSize) {
        Flush();
        if (text.size() >= kBufferSize) {
            WriteOut(text.data(), text.size());
            return;
        }
    }
    m_buffer.append(text);
}

bool CFileOstream::Flush() {
    if (!m_buffer.empty()) {
        WriteOut(m_buffer.data(), m_buffer.size());
        m_buffer.clear();
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
