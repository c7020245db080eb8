// Output streams the item writers write into: a file, a string or an in-memory file.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace rux {

class COstream {
public:
    virtual ~COstream() = default;
    virtual void Write(std::string_view text) = 0;
    void Write(const char* text) { Write(std::string_view(text)); }
    void Write(const std::string& text) { Write(std::string_view(text)); }
    COstream& operator<<(std::string_view text) {
        Write(text);
        return *this;
    }
};

// Appends to a caller's string.
class CStringOstream final : public COstream {
public:
    explicit CStringOstream(std::string& target) : m_target(target) {}
    void Write(std::string_view text) override { m_target.append(text); }

private:
    std::string& m_target;
};

// Grows a byte buffer, as the clipboard's memory block is filled.
class CMemFileOstream final : public COstream {
public:
    void Write(std::string_view text) override { m_data.insert(m_data.end(), text.begin(), text.end()); }
    const std::vector<char>& Data() const { return m_data; }
    std::string_view View() const { return {m_data.data(), m_data.size()}; }

private:
    std::vector<char> m_data;
};

// Writes through a large buffer to a file descriptor; the first failed write sticks.
class CFileOstream final : public COstream {
public:
    explicit CFileOstream(int fd) : m_fd(fd) { m_buffer.reserve(kBufferSize); }
    ~CFileOstream() override;
    CFileOstream(const CFileOstream&) = delete;
    CFileOstream& operator=(const CFileOstream&) = delete;

    void Write(std::string_view text) override;
    // Writes out what is buffered; false when any write failed.
    bool Flush();
    bool Failed() const { return m_failed; }

private:
    static constexpr size_t kBufferSize = 1 << 16;
    void WriteOut(const char* data, size_t size);

    int m_fd;
    bool m_failed = false;
    std::string m_buffer;
};

} // namespace rux
