#include "document/line_item.h"

#include "document/line_input.h"
#include "document/output_stream.h"
#include "document/text_range.h"
#include "document/view_metrics.h"

namespace rux {

static_assert(CLine::kMaxText + 2 == CStrFile::kMaxLine, "\":\" + text + LF must fit one read");

bool IsWordDelimiter(char c) {
    switch (c) {
    case '/': case ' ': case ',': case '\t': case '(': case ')': case '{': case '}': case '[':
    case ']': case '=': case ':': case ';': case '-': case '+': case '*': case '\r': case '\n':
        return true;
    default:
        return false;
    }
}

bool WordAroundColumn(std::string_view text, int column, int& from, int& to) {
    if (column < 1 || static_cast<size_t>(column - 1) >= text.size() || IsWordDelimiter(text[column - 1]))
        return false;
    size_t b = static_cast<size_t>(column - 1);
    size_t e = b;
    while (b > 0 && !IsWordDelimiter(text[b - 1]))
        --b;
    while (e < text.size() && !IsWordDelimiter(text[e]))
        ++e;
    from = static_cast<int>(b) + 1;
    to = static_cast<int>(e) + 1;
    return true;
}

void CLine::WriteItem(int index, COstream& out, const CTextRange* range) const {
    if (range && !range->Contains(index))
        return;
    out.Write(":");
    out.Write(range ? range->PartOf(index, m_text) : std::string_view(m_text));
    out.Write("\r\n");
}

void CLine::WriteText(int index, COstream& out, const CTextRange* range) const {
    if (range && !range->Contains(index))
        return;
    out.Write(range ? range->PartOf(index, m_text) : std::string_view(m_text));
    out.Write("\r\n");
}

int CLine::GetHeight(const CViewMetrics& metrics) const { return metrics.LineHeight(); }

int CLine::GetWidth(const CViewMetrics& metrics) const { return RowWidth(m_text, metrics); }

int CLine::RowWidth(std::string_view text, const CViewMetrics& metrics) {
    return metrics.TextWidth(text) + 2 * CViewMetrics::kLeftMargin;
}

CDoubleClickRequest CLine::OnDoubleClick(int, int caretCol, const CViewMetrics&) const {
    int from = 0, to = 0;
    if (!WordAroundColumn(m_text, caretCol, from, to))
        return {};
    return {EDoubleClick::SelectColumns, from, to};
}

std::unique_ptr<CItem> CLine::Clone() const {
    auto clone = std::make_unique<CLine>();
    CopyBaseTo(*clone);
    return clone;
}

bool CLine::IsBlankOrComment() const {
    size_t i = 0;
    while (i < m_text.size() && (m_text[i] == ' ' || m_text[i] == '\t'))
        ++i;
    if (i == m_text.size())
        return true;
    if (m_text[i] == ';')
        return true;
    return m_text.compare(i, 2, "//") == 0;
}

static size_t FindFrom(std::string_view text, std::string_view find, size_t from, bool matchCase) {
    if (matchCase)
        return text.find(find, from);
    if (find.size() > text.size())
        return std::string_view::npos;
    const char first = LowerAscii(find[0]);
    for (size_t i = from; i + find.size() <= text.size(); ++i) {
        if (LowerAscii(text[i]) != first)
            continue;
        size_t k = 1;
        while (k < find.size() && LowerAscii(text[i + k]) == LowerAscii(find[k]))
            ++k;
        if (k == find.size())
            return i;
    }
    return std::string_view::npos;
}

int CLine::ReplaceAll(std::string_view find, std::string_view replacement, bool matchCase) {
    if (find.empty())
        return 0;
    int count = 0;
    size_t pos = FindFrom(m_text, find, 0, matchCase);
    if (pos == std::string_view::npos)
        return 0;
    std::string result;
    size_t done = 0;
    while (pos != std::string_view::npos) {
        result.append(m_text, done, pos - done);
        result.append(replacement);
        done = pos + find.size();
        ++count;
        pos = FindFrom(m_text, find, done, matchCase);
    }
    result.append(m_text, done, std::string::npos);
    // A line the file could not read back whole is left as it was.
    if (result.size() > kMaxText)
        return 0;
    SetText(std::move(result));
    return count;
}

} // namespace rux
static_assert(sizeof(rux::CLine) <= 64, "a text line stays one cache line beside its text");
