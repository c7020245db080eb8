// Output streams the item writers write into: a file, a string or an in-memory file.
#pragma once

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace rux {

// A stream may lend the base a buffer window [m_cur, m_end): a write that fits is one copy with no
// virtual call, which matters when a million lines go out three pieces each. Streams without a
// window take every write through Overflow.
class COstream {
public:
    virtual ~COstream() = default;
    void Write(std::string_view text) {
        if (text.size() <= static_cast<size_t>(m_end - m_cur)) {
            if (!text.empty()) {
                std::memcpy(m_cur, text.data(), text.size());
                m_cur += text.size();
            }
            return;
        }
        Overflow(text);
    }
    void Write(const char* text) { Write(std::string_view(text)); }
    void Write(const std::string& text) { Write(std::string_view(text)); }
    COstream& operator<<(std::string_view text) {
        Write(text);
        return *this;
    }

protected:
    // Takes a write that does not fit the window.
    virtual void Overflow(std::string_view text) = 0;
    char* m_cur = nullptr;
    char* m_end = nullptr;
};

// Appends to a caller's string.
class CStringOstream final : public COstream {
public:
    explicit CStringOstream(std::string& target) : m_target(target) {}

private:
    void Overflow(std::string_view text) override { m_target.append(text); }
    std::string& m_target;
};

// Grows a byte buffer, as the clipboard's memory block is filled.
class CMemFileOstream final : public COstream {
public:
    const std::vector<char>& Data() const { return m_data; }
    std::string_view View() const { return {m_data.data(), m_data.size()}; }

private:
    void Overflow(std::string_view text) override { m_data.insert(m_data.end(), text.begin(), text.end()); }
    std::vector<char> m_data;
};

// Writes through a large buffer to a file descriptor; the first failed write sticks.
class CFileOstream final : public COstream {
public:
    explicit CFileOstream(int fd);
    ~CFileOstream() override;
    CFileOstream(const CFileOstream&) = delete;
    CFileOstream& operator=(const CFileOstream&) = delete;

    // Writes out what is buffered; false when any write failed.
    bool Flush();
    bool Failed() const { return m_failed; }

private:
    static constexpr size_t kBufferSize = 1 << 16;
    void Overflow(std::string_view text) override;
    void WriteOut(const char* data, size_t size);

    int m_fd;
    bool m_failed = false;
    std::unique_ptr<char[]> m_buffer;
};

} // namespace rux
