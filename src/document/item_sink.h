// Builds the document's items from what the program reader hands on.
#pragma once

#include "document/program_reader.h"

#include <cstdint>

namespace rux {

class CSectionHeader;

class CItemSink final : public CProgramSink {
public:
    // Section ids come from the receiving document's counter.
    CItemSink(ItemVector& items, uint32_t& sectionIdCounter) : m_items(items), m_sectionIds(sectionIdCounter) {}

    void Header(CRuxHeader&& header) override;
    void Text(std::string_view text) override;
    void Diagram(CDiagramRecord&& diagram) override;
    void BeginSection() override;
    void EndSection(CSectionRecord&& section) override;

private:
    ItemVector& m_items;
    uint32_t& m_sectionIds;
    CSectionHeader* m_section = nullptr; // the open section
};

} // namespace rux
