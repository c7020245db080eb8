// A program in memory: its items, the section-id counter and whether it is in the program file format.
#pragma once

#include "document/item_list.h"

#include <cstdint>

namespace rux {

class CPar;

class CProgram {
public:
    CProgram() = default;
    CProgram(const CProgram&) = delete;
    CProgram& operator=(const CProgram&) = delete;
    // A program built aside (a reader, a generator) is handed over whole.
    CProgram(CProgram&&) = default;
    CProgram& operator=(CProgram&&) = default;

    CObArrayEx& Items() { return m_items; }
    const CObArrayEx& Items() const { return m_items; }

    // Deletes every item, resets the section-id counter to 1 and clears the format flag.
    void Clear();

    // Hands out the next section id.
    uint32_t TakeSectionId() { return m_nextSectionId++; }
    uint32_t& SectionIdCounter() { return m_nextSectionId; }

    // Set when the file was read with the program file header line.
    bool HasFormat() const { return m_format; }
    void SetFormat(bool format) { m_format = format; }

    // The header item when the first item is one.
    const CPar* GetHeader() const;

private:
    CObArrayEx m_items;
    uint32_t m_nextSectionId = 1;
    bool m_format = false;
};

} // namespace rux
