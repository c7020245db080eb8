#include "ini/ini_lines.h"

#include <climits>

namespace rux::ini {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

CLineReader::CLineReader(std::string_view text, CDialect dialect) : m_text(text), m_dialect(dialect) {}

bool CLineReader::Next(CLine& line) {
    if (m_pos >= m_text.size()) return false;
    line = CLine{};
    line.begin = m_pos;
    const std::size_t nl = m_text.find('\n', m_pos);
    line.hasBreak = nl != std::string_view::npos;
    line.end = line.hasBreak ? nl : m_text.size();
    line.next = line.hasBreak ? nl + 1 : m_text.size();
    if (line.end > line.begin && m_text[line.end - 1] == '\r') --line.end;
    m_pos = line.next;

    const std::string_view raw = m_text.substr(line.begin, line.end - line.begin);
    const std::string_view content = Trim(raw);
    if (content.empty()) {
        line.kind = ELineKind::Blank;
    } else if (m_dialect.commentStarts.find(content.front()) != std::string_view::npos) {
        line.kind = ELineKind::Comment;
    } else if (content.front() == '[') {
        const std::size_t close = content.find(']');
        if (close == std::string_view::npos) {
            line.kind = ELineKind::BrokenSection;
            m_inSection = false;
            m_section = {};
        } else {
            line.kind = ELineKind::Section;
            line.name = Trim(content.substr(1, close - 1));
            m_inSection = true;
            m_section = line.name;
        }
    } else if (const std::size_t eq = raw.find('='); eq != std::string_view::npos) {
        line.kind = ELineKind::Key;
        line.name = Trim(raw.substr(0, eq));
        line.value = raw.substr(eq + 1);
        if (m_dialect.trimValues) line.value = Trim(line.value);
    } else {
        line.kind = ELineKind::Other;
    }
    line.inSection = m_inSection;
    line.section = m_section;
    return true;
}

std::optional<std::string_view> FindValue(std::string_view text, std::string_view section,
                                          std::string_view key, CDialect dialect) {
    CLineReader reader(text, dialect);
    CLine line;
    while (reader.Next(line))
        if (line.kind == ELineKind::Key && line.inSection && EqualNoCase(line.section, section) &&
            EqualNoCase(line.name, key))
            return line.value;
    return std::nullopt;
}

int ParseInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

} // namespace rux::ini
