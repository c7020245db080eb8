// The opening and closing lines of a section (task, user-defined function block, notes).
#pragma once

#include "document/line_item.h"

#include <array>

namespace rux {

// Section kinds double as the icon shown for the section.
enum ESectionKind : int {
    kSectionInitial = 4,
    kSectionSpeed = 5,
    kSectionEncoder = 6,
    kSectionError = 7,
    kSectionEvent = 8,
    kSectionEvent12 = 9,
    kSectionEvent3 = 11,
    kSectionPos0 = 12,
    kSectionPos1 = 13,
    kSectionSr = 14,
    kSectionFunctionBlock = 15,
    kSectionBackground = 16,
    kSectionOther = 17,
};

int ClassifySectionKind(std::string_view shortName, bool functionBlock);

class CSectionHeader : public CLine {
public:
    CSectionHeader() = default;
    explicit CSectionHeader(std::string text) { SetText(std::move(text)); }

    void WriteItem(int index, COstream& out, const CTextRange* range) const override;
    void WriteText(int index, COstream& out, const CTextRange* range) const override;
    // Left of the fold limit a fold; elsewhere a rename, which the editor refuses while the
    // program cannot be edited.
    CDoubleClickRequest OnDoubleClick(int clickX, int caretCol, const CViewMetrics& metrics) const override;
    // Stores the text trimmed and derives notes flag, function-block flag, short name and kind.
    void SetText(std::string text) override;
    std::unique_ptr<CItem> Clone() const override;
    int GetType() const override { return kItemSectionHeader; }

    // The id this section hands to its members.
    uint32_t GetId() const { return m_id; }
    void SetId(uint32_t id) { m_id = id; }
    bool IsExpanded() const { return m_expanded; }
    void SetExpanded(bool expanded) { m_expanded = expanded; }
    bool IsFunctionBlock() const { return m_functionBlock; }
    bool IsNotes() const { return m_notes; }
    const std::string& GetShortName() const { return m_shortName; }
    int GetSectionKind() const { return m_sectionKind; }
    const std::string& GetFbDescription() const { return m_fbDescription; }
    void SetFbDescription(std::string text) { m_fbDescription = std::move(text); }
    const std::string& GetHelpLink() const { return m_helpLink; }
    void SetHelpLink(std::string link) { m_helpLink = std::move(link); }
    int GetLibVisible() const { return m_libVisible; }
    void SetLibVisible(int visible) { m_libVisible = visible; }
    int GetReserved() const { return m_reserved; }
    // Eight integers the program tree sets as one group.
    const std::array<int, 8>& GetTreeData() const { return m_treeData; }
    void SetTreeData(const std::array<int, 8>& data) { m_treeData = data; }

    // How many items link to this header now, wherever they are: the item list unlinks a removed
    // header's members by this count instead of looking at every row. Only CItem's link calls
    // change it; a clone starts with none.
    int LinkCount() const { return m_links; }

private:
    friend class CItem;
    void AddLink() const { ++m_links; }
    void DropLink() const { --m_links; }

    mutable int m_links = 0;
    int m_reserved = 0;
    std::array<int, 8> m_treeData{};
    uint32_t m_id = 0;
    std::string m_fbDescription; // CR LF line ends
    std::string m_helpLink;
    std::string m_shortName;
    int m_libVisible = 1;
    int m_sectionKind = kSectionOther;
    bool m_notes = false;
    bool m_expanded = true;
    bool m_functionBlock = false;
};

class CSectionFooter : public CLine {
public:
    CSectionFooter() = default;
    explicit CSectionFooter(std::string text) : CLine(std::move(text)) {}

    void WriteItem(int index, COstream& out, const CTextRange* range) const override;
    void WriteText(int index, COstream& out, const CTextRange* range) const override;
    std::unique_ptr<CItem> Clone() const override;
    int GetType() const override { return kItemSectionFooter; }
};

} // namespace rux
