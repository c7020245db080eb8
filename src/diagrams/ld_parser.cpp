#include "diagrams/ld_parser.h"

#include "document/ascii_text.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace rux {
namespace {

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

constexpr std::array<std::string_view, 10> kInstructions = {"XIC", "XIO", "XIP", "XIF", "OTE",
                                                            "OTO", "OTP", "OTN", "OTS", "OTR"};

size_t FindNoCase(std::string_view text, std::string_view what) {
    if (what.size() > text.size()) return std::string_view::npos;
    for (size_t i = 0; i + what.size() <= text.size(); ++i) {
        size_t k = 0;
        while (k < what.size() && std::toupper(static_cast<unsigned char>(text[i + k])) == what[k])
            ++k;
        if (k == what.size()) return i;
    }
    return std::string_view::npos;
}

std::string Bounded(std::string_view text) {
    text = TrimBlanks(text);
    return std::string(text.substr(0, std::min(text.size(), CLdParser::kMaxToken)));
}

// "#01.020.3" -> "#1.20.3"; anything not of that form is left as it is.
std::string NormaliseParameter(const std::string& name) {
    std::string out = "#";
    size_t i = 1, groups = 0;
    while (i < name.size()) {
        const size_t start = i;
        while (i < name.size() && IsDigit(name[i]))
            ++i;
        if (i == start) return name;
        size_t first = start;
        while (first + 1 < i && name[first] == '0')
            ++first;
        out.append(name, first, i - first);
        ++groups;
        if (i == name.size()) break;
        if (name[i] != '.' || groups == 3) return name;
        out += '.';
        ++i;
    }
    return groups >= 2 && out.back() != '.' ? out : name;
}

} // namespace

void CLdParser::Start(std::string_view text) {
    m_text = text;
    m_pushed = false;
    const size_t bof = FindNoCase(text, "BOF");
    m_pos = bof == std::string_view::npos ? text.size() : bof + 3;
}

int CLdParser::NextToken(std::string& text) {
    if (m_pushed) {
        m_pushed = false;
        text = std::move(m_pushedText);
        return m_pushedKind;
    }
    return Read(text);
}

int CLdParser::Read(std::string& text) {
    text.clear();
    while (m_pos < m_text.size()) {
        const char c = m_text[m_pos];
        if (c == '[') {
            const size_t close = m_text.find(']', m_pos + 1);
            m_pos = close == std::string_view::npos ? m_text.size() : close + 1;
            continue;
        }
        if (c == '(' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '*') {
            const size_t from = m_pos + 2;
            const size_t close = m_text.find("*)", from);
            const size_t to = close == std::string_view::npos ? m_text.size() : close;
            text = Bounded(m_text.substr(from, to - from));
            m_pos = close == std::string_view::npos ? m_text.size() : close + 2;
            return kComment;
        }
        if (c == '(' || c == ',' || c == ';') {
            text.assign(1, c);
            ++m_pos;
            return kSeparator;
        }
        if (IsLetter(c)) {
            const size_t from = m_pos;
            while (m_pos < m_text.size() && IsLetter(m_text[m_pos]))
                ++m_pos;
            text = Bounded(m_text.substr(from, m_pos - from));
            for (char& ch : text)
                ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
            if (text == "EOF") {
                m_pos = m_text.size();
                text.clear();
                return kEnd;
            }
            return std::find(kInstructions.begin(), kInstructions.end(), text) != kInstructions.end()
                       ? kInstruction
                       : kWord;
        }
        ++m_pos;
    }
    return kEnd;
}

bool CLdParser::NextOperand(std::string& operand) {
    std::string text;
    for (;;) {
        const int kind = NextToken(text);
        if (kind == kEnd) return false;
        if (kind == kSeparator && NextToken(text) == kEnd) return false;
        if (kind != kInstruction && kind != kSeparator) continue;
        const int next = NextToken(text);
        if (next == kComment) {
            operand = std::move(text);
            return true;
        }
        if (next == kEnd) return false;
        // Not an operand: the token may open the next instruction, so it is read again.
        m_pushed = true;
        m_pushedKind = next;
        m_pushedText = std::move(text);
    }
}

void ScanLadderIdentifiers(std::string_view payload, const std::function<void(std::string_view)>& add) {
    CLdParser parser;
    parser.Start(payload);
    std::string operand;
    while (parser.NextOperand(operand)) {
        if (operand.empty()) continue;
        const char c = operand[0];
        if (!IsLetter(c) && c != '_' && c != '#' && c != '$') continue;
        for (char& ch : operand)
            ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        if (const size_t bracket = operand.find('[');
            bracket != std::string::npos && operand.find('.') == std::string::npos)
            operand = operand.substr(0, bracket) + "[]";
        else if (c == '#')
            operand = NormaliseParameter(operand);
        add(operand);
    }
}

} // namespace rux
