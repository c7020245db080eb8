#include "porting/porting_issue.h"

#include "document/string_table.h"
#include "porting/xml_reader.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace rux {

CPortingIssue::CPortingIssue(const CPortingIssue& other)
    : m_line(other.m_line), m_column(other.m_column), m_icon(other.m_icon),
      m_diagramColumn(other.m_diagramColumn), m_diagramRow(other.m_diagramRow), m_length(other.m_length),
      m_name(other.m_name), m_location(other.m_location), m_helpTopic(other.m_helpTopic),
      m_state(other.m_state), m_entry(other.m_entry), m_document(other.m_document), m_observer(nullptr),
      m_cache(other.m_cache) {}

bool CPortingIssue::Load(const CXMLReader& reader, CXMLNode element) {
    m_name = reader.AttributeText(element, "name");
    m_icon = std::atoi(reader.AttributeText(element, "icn").c_str());
    m_helpTopic = reader.AttributeText(element, "hlp");
    return !m_name.empty();
}

bool CPortingIssue::ApplyFix(CPortingView*, bool) {
    return true;
}

bool CPortingIssue::IsAt(const std::string&) const {
    return true;
}

bool CPortingIssue::Compare(const CPortingIssue& other) const {
    // The walk stops at the first field that differs; either way the answer is the same.
    if (m_line != other.m_line || m_column != other.m_column || m_icon != other.m_icon) return true;
    if (m_diagramColumn != other.m_diagramColumn || m_diagramRow != other.m_diagramRow) return true;
    if (m_length != other.m_length || m_name != other.m_name || m_location != other.m_location) return true;
    if (m_helpTopic != other.m_helpTopic) return true;
    return true;
}

int CPortingIssue::GetState() {
    return m_state;
}

void CPortingIssue::SetState(int state) {
    const int old = m_state;
    m_state = state;
    if (m_observer) m_observer->IssueStateChanged(*this, old);
}

int CPortingIssue::ShownIcon() {
    switch (GetState()) {
    case kPortStateConverted:
        return kPortIconConverted;
    case kPortStateIgnored:
        return kPortIconIgnored;
    default:
        return m_icon;
    }
}

std::string CPortingIssue::StatusText() {
    return PortingStatusText(ShownIcon());
}

std::string PortingStatusText(int icon) {
    if (icon < kPortIconNoConvert || icon > kPortIconIgnored) return {};
    return LoadString(IDS_PORT_STATUS_1 + icon - 1);
}

std::string FormatPortingText(int id, ...) {
    const char* format = LoadString(id);
    std::va_list args;
    va_start(args, id);
    std::va_list copy;
    va_copy(copy, args);
    const int size = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string out;
    if (size > 0) {
        std::vector<char> buffer(static_cast<size_t>(size) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, args);
        out.assign(buffer.data(), static_cast<size_t>(size));
    }
    va_end(args);
    return out;
}

} // namespace rux
