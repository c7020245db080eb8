// Line input for the program reader: a file (CR bytes dropped) or an in-memory buffer.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace rux {

class CStrFile {
public:
    // A read returns at most this many bytes; a longer line is split and its rest is the next read.
    static constexpr size_t kMaxLine = 4095;

    virtual ~CStrFile() = default;
    // Reads the bytes up to and including the next LF into `line`. False at end of input,
    // that is when the read yields no byte at all.
    virtual bool ReadLine(std::string& line) = 0;
    // The same line without a copy where that can be helped: `text` is the line without its LF
    // and `lf` says whether it ended in one. `text` lies in the input's own buffer when the line's
    // bytes stand there unchanged, else in `scratch`; either way it lives until the next read.
    virtual bool ReadLineView(std::string_view& text, bool& lf, std::string& scratch);
    virtual void Rewind() = 0;
};

// Reads a file through a large buffer. Every CR byte is dropped wherever it stands.
class CStrStdioFile final : public CStrFile {
public:
    CStrStdioFile() = default;
    ~CStrStdioFile() override;
    CStrStdioFile(const CStrStdioFile&) = delete;
    CStrStdioFile& operator=(const CStrStdioFile&) = delete;

    // False when the file cannot be opened or is not a regular file (a folder, FIFO, device or
    // socket is refused without waiting on it); errno and Problem() tell why.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return m_fd >= 0; }

    bool ReadLine(std::string& line) override;
    bool ReadLineView(std::string_view& text, bool& lf, std::string& scratch) override;
    void Rewind() override;
    // The errno of a failed read: the input then ended early and what was read is not the file.
    int ReadError() const { return m_readError; }
    // Why Open failed or reading stopped, in words.
    const std::string& Problem() const { return m_problem; }

private:
    bool Fill();
    // The next line when it lies whole in the buffer and holds no CR but the one before its LF:
    // `text` is it where it stands, without its line end.
    bool TakeWholeLine(std::string_view& text);

    int m_fd = -1;
    // Bytes read and not yet taken lie in [m_pos, m_size) of the buffer.
    std::unique_ptr<char[]> m_data;
    size_t m_size = 0;
    size_t m_capacity = 0;
    size_t m_pos = 0;
    bool m_eof = false;
    int m_readError = 0;
    std::string m_problem;
};

// Reads lines from memory. CR bytes are kept, except that a CR LF pair at the end of a line
// becomes a single LF.
class CStrMemFile final : public CStrFile {
public:
    explicit CStrMemFile(std::string_view data) : m_data(data) {}
    bool ReadLine(std::string& line) override;
    bool ReadLineView(std::string_view& text, bool& lf, std::string& scratch) override;
    void Rewind() override { m_pos = 0; }

private:
    std::string_view m_data;
    size_t m_pos = 0;
};

} // namespace rux
