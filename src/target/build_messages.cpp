#include "target/build_messages.h"

#include "shell/frame_rules.h"

#include <filesystem>
#include <fstream>

namespace rux {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads an unsigned decimal at `pos`; -1 (and pos unchanged) when there is none or it overflows.
int ReadNumber(std::string_view text, size_t& pos) {
    size_t i = pos;
    long value = 0;
    while (i < text.size() && IsDigit(text[i])) {
        value = value * 10 + (text[i] - '0');
        if (value > 0x7FFFFFFF) return -1;
        ++i;
    }
    if (i == pos) return -1;
    pos = i;
    return static_cast<int>(value);
}

} // namespace

CBuildMessage ParseBuildMessage(std::string_view text) {
    size_t first = 0;
    while (first < text.size() && (text[first] == ' ' || text[first] == '\t'))
        ++first;
    // The file name may hold brackets of its own ("a(1).rux"): try each "(" until one gives a place.
    for (size_t open = text.find('(', first); open != std::string_view::npos;
         open = text.find('(', open + 1)) {
        if (open == first) continue;
        size_t pos = open + 1;
        CBuildMessage m;
        m.line = ReadNumber(text, pos);
        if (m.line < 0) continue;
        if (pos < text.size() && text[pos] == ',') {
            ++pos;
            m.start = ReadNumber(text, pos);
            if (m.start < 0) continue;
            m.end = m.start;
            if (pos < text.size() && text[pos] == '-') {
                ++pos;
                m.end = ReadNumber(text, pos);
                if (m.end < 0) continue;
            }
        }
        if (pos >= text.size() || text[pos] != ')') continue;
        ++pos;
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
        if (pos >= text.size() || text[pos] != ':') continue;
        ++pos;
        m.file = std::string(text.substr(first, open - first));
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
        const std::string_view rest = text.substr(pos);
        if (rest.starts_with("error"))
            m.severity = EBuildSeverity::kError;
        else if (rest.starts_with("warning"))
            m.severity = EBuildSeverity::kWarning;
        return m;
    }
    return {};
}

std::vector<std::string> ReadBuildResults(const std::string& programPath) {
    std::vector<std::string> lines;
    std::ifstream in(ErrorFilePath(programPath), std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
            line.pop_back();
        if (!line.empty()) lines.push_back(std::move(line));
    }
    return lines;
}

void CBuildMessageList::Clear() {
    m_lines.clear();
    m_messages.clear();
    m_programPath.clear();
    m_current = -1;
}

std::string CBuildMessageList::LocationFile(int row) const {
    const std::string& file = Message(row).file;
    const size_t slash = m_programPath.find_last_of("/\\");
    if (file.empty() || file.find_first_of("/\\") != std::string::npos || slash == std::string::npos)
        return file;
    std::string path = m_programPath.substr(0, slash + 1) + file;
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec) ? path : file;
}

void CBuildMessageList::Add(std::string line) {
    m_messages.push_back(ParseBuildMessage(line));
    m_lines.push_back(std::move(line));
}

void CBuildMessageList::SetCurrent(int row) {
    m_current = row >= 0 && row < Count() ? row : -1;
}

int CBuildMessageList::FindNext() const {
    for (int row = m_current + 1; row < Count(); ++row)
        if (m_messages[static_cast<size_t>(row)].HasPlace()) return row;
    return -1;
}

int CBuildMessageList::FindPrevious() const {
    for (int row = m_current - 1; row >= 0; --row)
        if (m_messages[static_cast<size_t>(row)].HasPlace()) return row;
    return -1;
}

} // namespace rux
