// The program header: the node properties at the top of a program.
#pragma once

#include "document/header_record.h"
#include "document/item.h"

namespace rux {

class CPar : public CItem {
public:
    CPar() = default;
    explicit CPar(CRuxHeader header) : m_header(std::move(header)) {}

    // The Ident block; with a range the short ":AUTHOR=" ... ":DRIVE=" form.
    void WriteItem(int index, COstream& out, const CTextRange* range) const override;
    // The nine directive lines.
    void WriteText(int index, COstream& out, const CTextRange* range) const override;
    int GetHeight(const CViewMetrics& metrics) const override;
    int GetWidth(const CViewMetrics& metrics) const override;
    CDoubleClickRequest OnDoubleClick(int clickX, int caretCol, const CViewMetrics& metrics) const override;
    std::unique_ptr<CItem> Clone() const override;
    int GetType() const override { return kItemPar; }

    CRuxHeader& Header() { return m_header; }
    const CRuxHeader& Header() const { return m_header; }

private:
    CRuxHeader m_header;
};

// Writes "KEY={", one ":"+line per line of the text (CRs dropped), then "}".
void WriteTextBlock(COstream& out, std::string_view key, std::string_view text);

} // namespace rux
