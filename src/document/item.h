// The base of every row of a program: marks, section link and the virtual item operations.
#pragma once

#include "document/ascii_text.h"
#include "document/double_click_request.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace rux {

class COstream;
class CViewMetrics;
class CSectionHeader;
class CItemPainter;
struct CTextRange;

// Type codes; 4 is not used.
enum EItemType : int {
    kItemNone = 0,
    kItemPar = 1,
    kItemDiag = 2,
    kItemLine = 3,
    kItemSectionHeader = 5,
    kItemSectionFooter = 6,
};

// Mark kinds; the state-mark kinds double as the margin icon number.
enum EMarkKind : int {
    kMarkBookmark = 0,
    kMarkError = 1,
    kMarkBreakpoint = 2,
    kMarkState3 = 3,
    kMarkState6 = 6,
    kMarkState7 = 7,
    kMarkState8 = 8,
    kMarkState9 = 9,
    kMarkState10 = 10,
};

bool IsStateMarkKind(int kind);

class CItem {
public:
    CItem() : m_id(NextId()) {}
    explicit CItem(std::string text) : m_text(std::move(text)), m_id(NextId()) {}
    virtual ~CItem() = default;
    CItem(const CItem&) = delete;
    CItem& operator=(const CItem&) = delete;

    // Items come from a pool: a program holds a million of them, and the general heap spends more
    // time on them than reading the file does. See item_pool.cpp.
    static void* operator new(size_t size);
    static void operator delete(void* block, size_t size) noexcept;

    // --- virtual operations -------------------------------------------------------------
    // Program-file form; with a range only what lies in it.
    virtual void WriteItem(int index, COstream& out, const CTextRange* range) const;
    // Plain program text.
    virtual void WriteText(int index, COstream& out, const CTextRange* range) const;
    // Kind 0: the index when bookmarked; kind 1: when error-marked.
    virtual void WriteMarkRef(COstream& out, int index, int kind) const;
    virtual int GetHeight(const CViewMetrics& metrics) const;
    virtual int GetWidth(const CViewMetrics& metrics) const;
    // What a double-click at row x `clickX` (margin included) asks for, the caret at `caretCol`.
    // The item changes nothing here: the editor carries the request out.
    virtual CDoubleClickRequest OnDoubleClick(int clickX, int caretCol, const CViewMetrics& metrics) const;
    const std::string& GetText() const { return m_text; }
    virtual void SetText(std::string text) { m_text = std::move(text); }
    virtual std::unique_ptr<CItem> Clone() const;
    virtual int GetType() const { return kItemNone; }
    virtual bool IsBlankOrComment() const { return false; }
    bool HasMark(int kind) const;
    // Painting belongs to the view, which implements the painter; items hand themselves to it.
    virtual void Draw(CItemPainter& painter, const CViewMetrics& metrics) const;
    virtual int ReplaceAll(std::string_view find, std::string_view replacement, bool matchCase);

    // --- marks ----------------------------------------------------------------------------
    int SetMark(int kind);
    int ClearMark(int kind);
    void ToggleMark(int kind);
    int SetBreakpointB();
    int ClearBreakpointB();
    // Breakpoint flag A belongs to the online code, which sets it directly.
    void SetBreakpointA(bool on) { SetFlag(kFlagBreakA, on); }
    bool HasBreakpointB() const { return (m_flags & kFlagBreakB) != 0; }
    bool HasBookmark() const { return (m_flags & kFlagBookmark) != 0; }
    bool HasErrorMark() const { return (m_flags & kFlagError) != 0; }
    bool HasStateMark() const { return (m_flags & kFlagState) != 0; }
    int GetStateMarkKind() const { return m_stateKind; }
    // Every mark flag and the state-mark kind in one value: it differs when any mark changed.
    unsigned MarkState() const { return m_flags | static_cast<unsigned>(m_stateKind) << 8; }

    // --- identity -------------------------------------------------------------------------
    // Every item made gets an id no other item of the process holds; a clone gets a new one.
    // Undo and other views find an item by its id, since indices move under another view's edits.
    uint32_t GetId() const { return m_id; }
    // Undo puts a removed item back as the same item: its restored clone takes the old id.
    void AdoptId(uint32_t id) { m_id = id; }

    // --- sections -------------------------------------------------------------------------
    const CSectionHeader* GetSection() const { return m_section; }
    uint32_t GetSectionId() const { return m_sectionId; }
    // Links to a section header and takes its id; anything else clears link and id. The header
    // counts the items linked to it (CSectionHeader::LinkCount).
    void SetSection(const CItem* header);
    // Keeps only the id: the link goes, to be made again by a relink.
    void SetSectionId(uint32_t id) {
        Unlink();
        m_sectionId = id;
    }
    bool IsSectionExpanded() const;

protected:
    // Gives a clone the fields every item copies: text and section id.
    void CopyBaseTo(CItem& clone) const;
    std::string m_text;

private:
    enum : uint8_t {
        kFlagError = 1,
        kFlagBookmark = 2,
        kFlagBreakA = 4,
        kFlagBreakB = 8,
        kFlagState = 16,
    };
    void SetFlag(uint8_t flag, bool on) { m_flags = on ? (m_flags | flag) : (m_flags & ~flag); }
    void Unlink() {
        if (m_section) Unlink(*m_section);
    }
    void Unlink(const CSectionHeader& header);
    static uint32_t NextId();

    uint32_t m_sectionId = 0;
    uint8_t m_flags = 0;
    uint8_t m_stateKind = 0;
    uint32_t m_id; // fills the gap before the pointer: a line stays within its cache line
    const CSectionHeader* m_section = nullptr;
};

} // namespace rux
