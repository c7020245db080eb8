#include "document/item_sink.h"

#include "document/diagram_item.h"
#include "document/header_item.h"
#include "document/section_items.h"

namespace rux {

void CItemSink::Header(CRuxHeader&& header) { m_items.push_back(std::make_unique<CPar>(std::move(header))); }

void CItemSink::Text(std::string_view text) {
    auto line = std::make_unique<CLine>(std::string(text));
    if (m_section)
        line->SetSection(m_section);
    m_items.push_back(std::move(line));
}

void CItemSink::Diagram(CDiagramRecord&& d) {
    auto diagram = std::make_unique<CDiag>(d.kind);
    diagram->SetSection(m_section);
    if (d.haveZoom)
        diagram->SetZoom(d.zoom);
    if (d.haveState)
        diagram->SetOpen(d.open);
    if (!d.payload.empty())
        diagram->SetText(std::move(d.payload));
    if (!d.title.empty())
        diagram->SetTitle(std::move(d.title));
    m_items.push_back(std::move(diagram));
}

void CItemSink::BeginSection() {
    auto header = std::make_unique<CSectionHeader>();
    header->SetId(m_sectionIds++);
    m_section = header.get();
    m_items.push_back(std::move(header));
}

void CItemSink::EndSection(CSectionRecord&& s) {
    CSectionHeader* header = m_section;
    m_section = nullptr;
    if (s.haveState)
        header->SetExpanded(s.expanded);
    header->SetText(std::move(s.name));
    header->SetHelpLink(std::move(s.helpLink));
    header->SetLibVisible(s.libVisible);
    header->SetFbDescription(std::move(s.fbDescription));
    auto footer = std::make_unique<CSectionFooter>(header->GetText());
    footer->SetSection(header);
    m_items.push_back(std::move(footer));
}

} // namespace rux
