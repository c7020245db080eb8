// One line of program text.
#pragma once

#include "document/item.h"

namespace rux {

// Characters that end a word for word selection and the first-word/last-word rules.
bool IsWordDelimiter(char c);
// The word around a 1-based caret column as [from, to) columns; false on a delimiter.
bool WordAroundColumn(std::string_view text, int column, int& from, int& to);

class CLine : public CItem {
public:
    // The longest text the file reader takes back as one line: it reads at most 4095 bytes a line,
    // and a text line is written as ":" + text + line end. The editor keeps lines within this.
    static constexpr size_t kMaxText = 4093;

    CLine() = default;
    explicit CLine(std::string text) : CItem(std::move(text)) {}

    void WriteItem(int index, COstream& out, const CTextRange* range) const override;
    void WriteText(int index, COstream& out, const CTextRange* range) const override;
    int GetHeight(const CViewMetrics& metrics) const override;
    int GetWidth(const CViewMetrics& metrics) const override;
    // The width of the row a text line, a section header or a footer holding `text` makes; a
    // layout measuring a whole program calls it without going through each item.
    static int RowWidth(std::string_view text, const CViewMetrics& metrics);
    CDoubleClickRequest OnDoubleClick(int clickX, int caretCol, const CViewMetrics& metrics) const override;
    std::unique_ptr<CItem> Clone() const override;
    int GetType() const override { return kItemLine; }
    bool IsBlankOrComment() const override;
    int ReplaceAll(std::string_view find, std::string_view replacement, bool matchCase) override;
};

} // namespace rux
