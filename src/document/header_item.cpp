#include "document/header_item.h"

#include "document/output_stream.h"
#include "document/text_range.h"
#include "document/view_metrics.h"

#include <charconv>

namespace rux {
namespace {

void WriteNumber(COstream& out, std::string_view key, int32_t value) {
    char buf[16];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    out << key << std::string_view(buf, static_cast<size_t>(r.ptr - buf)) << "\r\n";
}

void WriteString(COstream& out, std::string_view key, const std::string& value) { out << key << value << "\r\n"; }

} // namespace

void WriteTextBlock(COstream& out, std::string_view key, std::string_view text) {
    out << key << "{\r\n";
    std::string clean;
    clean.reserve(text.size());
    for (char c : text)
        if (c != '\r')
            clean.push_back(c);
    size_t start = 0;
    while (start < clean.size()) {
        size_t lf = clean.find('\n', start);
        if (lf == std::string::npos)
            lf = clean.size();
        out << ":" << std::string_view(clean).substr(start, lf - start) << "\r\n";
        start = lf + 1;
    }
    out << "}\r\n";
}

void CPar::WriteItem(int index, COstream& out, const CTextRange* range) const {
    const CRuxHeader& h = m_header;
    if (range) {
        if (!range->Contains(index))
            return;
        WriteString(out, ":AUTHOR=", h.Author);
        WriteString(out, ":COMPANY=", h.Company);
        WriteString(out, ":TITLE=", h.Title);
        WriteString(out, ":VERSION=", h.Version);
        WriteString(out, ":DRIVE=", h.Drive);
        return;
    }
    out << "#info=Ident\r\n";
    WriteString(out, "AUTHOR=", h.Author);
    WriteString(out, "COMPANY=", h.Company);
    WriteString(out, "TITLE=", h.Title);
    WriteString(out, "VERSION=", h.Version);
    WriteString(out, "DRIVE=", h.Drive);
    WriteString(out, "Target=", h.Target);
    WriteString(out, "Type=", h.Type);
    WriteNumber(out, "Address=", h.Address);
    WriteNumber(out, "Debug=", h.Debug);
    WriteNumber(out, "Source=", h.Source);
    WriteNumber(out, "$V3=", h.V3);
    WriteString(out, "Group=", h.Group);
    WriteString(out, "Name=", h.Name);
    WriteNumber(out, "H2Lite=", h.H2Lite);
    WriteNumber(out, "PosHard=", h.PosHard);
    WriteNumber(out, "PosLink=", h.PosLink);
    WriteNumber(out, "OptionNumber=", h.OptionNumber);
    WriteString(out, "Network=", h.Network);
    WriteNumber(out, "FloatingPoint=", h.FloatingPoint);
    WriteNumber(out, "ClipParam=", h.ClipParam);
    WriteString(out, "Library=", h.Library);
    WriteString(out, "RefLibs=", h.RefLibs);
    WriteString(out, "OldLib=", h.OldLib);
    WriteNumber(out, "UserProgEnabled=", h.UserProgEnabled);
    WriteNumber(out, "Clonable=", h.Clonable);
    WriteTextBlock(out, "Descriptor=", h.Descriptor);
    out << "#endinfo\r\n";
}

void CPar::WriteText(int index, COstream& out, const CTextRange* range) const {
    if (range && !range->Contains(index))
        return;
    const CRuxHeader& h = m_header;
    WriteString(out, "$AUTHOR ", h.Author);
    WriteString(out, "$COMPANY ", h.Company);
    WriteString(out, "$TITLE ", h.Title);
    WriteString(out, "$VERSION ", h.Version);
    WriteString(out, "$DRIVE ", h.Drive);
    WriteString(out, "$Target ", h.Target);
    WriteNumber(out, "$Address ", h.Address);
    WriteNumber(out, "$Debug", h.Debug);
    WriteNumber(out, "$Source", h.Source);
}

int CPar::GetHeight(const CViewMetrics& metrics) const { return 6 * metrics.LineHeight(); }
int CPar::GetWidth(const CViewMetrics&) const { return 600; }

CDoubleClickRequest CPar::OnDoubleClick(int, int, const CViewMetrics&) const { return {EDoubleClick::NodeProperties}; }

std::unique_ptr<CItem> CPar::Clone() const {
    auto clone = std::make_unique<CPar>(m_header);
    CopyBaseTo(*clone);
    return clone;
}

} // namespace rux
