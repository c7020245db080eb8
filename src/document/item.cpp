#include "document/item.h"

#include "document/output_stream.h"
#include "document/section_items.h"
#include "document/view_metrics.h"

#include <charconv>

namespace rux {

bool IsStateMarkKind(int kind) { return kind == 3 || (kind >= 6 && kind <= 10); }

void CItem::WriteItem(int, COstream&, const CTextRange*) const {}
void CItem::WriteText(int, COstream&, const CTextRange*) const {}

void CItem::WriteMarkRef(COstream& out, int index, int kind) const {
    const bool marked = (kind == kMarkBookmark && HasBookmark()) || (kind == kMarkError && HasErrorMark());
    if (!marked)
        return;
    char buf[16];
    auto r = std::to_chars(buf, buf + sizeof buf - 2, index);
    *r.ptr++ = '\r';
    *r.ptr++ = '\n';
    out.Write(std::string_view(buf, static_cast<size_t>(r.ptr - buf)));
}

int CItem::GetHeight(const CViewMetrics& metrics) const { return metrics.LineHeight(); }
int CItem::GetWidth(const CViewMetrics&) const { return 0; }
CDoubleClickRequest CItem::OnDoubleClick(int, int, const CViewMetrics&) const { return {}; }
std::unique_ptr<CItem> CItem::Clone() const { return nullptr; }
void CItem::Draw(CItemPainter&, const CViewMetrics&) const {}
int CItem::ReplaceAll(std::string_view, std::string_view, bool) { return 0; }

bool CItem::HasMark(int kind) const {
    if (kind == kMarkBookmark || kind == kMarkError)
        return (m_flags & (kFlagBookmark | kFlagError)) != 0;
    if (kind == kMarkBreakpoint)
        return (m_flags & kFlagBreakA) != 0;
    if (IsStateMarkKind(kind))
        return (m_flags & kFlagState) != 0;
    return false;
}

int CItem::SetMark(int kind) {
    if (kind == kMarkBookmark) {
        const bool was = HasBookmark();
        SetFlag(kFlagBookmark, true);
        return was ? 0 : 1;
    }
    if (kind == kMarkError) {
        SetFlag(kFlagError, true);
    } else if (IsStateMarkKind(kind)) {
        SetFlag(kFlagState, true);
        m_stateKind = static_cast<uint8_t>(kind);
    }
    return 0;
}

int CItem::ClearMark(int kind) {
    if (kind == kMarkBookmark) {
        const bool was = HasBookmark();
        SetFlag(kFlagBookmark, false);
        return was ? 1 : 0;
    }
    if (kind == kMarkError) {
        SetFlag(kFlagError, false);
    } else if (IsStateMarkKind(kind)) {
        SetFlag(kFlagState, false);
        m_stateKind = static_cast<uint8_t>(kind);
    }
    return 0;
}

void CItem::ToggleMark(int kind) {
    if (kind == kMarkBookmark) {
        SetFlag(kFlagBookmark, !HasBookmark());
    } else if (kind == kMarkError) {
        SetFlag(kFlagError, !HasErrorMark());
    } else if (IsStateMarkKind(kind)) {
        SetFlag(kFlagState, !HasStateMark());
        m_stateKind = static_cast<uint8_t>(kind);
    }
}

int CItem::SetBreakpointB() {
    const bool was = HasBreakpointB();
    SetFlag(kFlagBreakB, true);
    return was ? 0 : 1;
}

int CItem::ClearBreakpointB() {
    const bool was = HasBreakpointB();
    SetFlag(kFlagBreakB, false);
    return was ? 1 : 0;
}

void CItem::SetSection(const CItem* header) {
    Unlink();
    if (header && header->GetType() == kItemSectionHeader) {
        m_section = static_cast<const CSectionHeader*>(header);
        m_section->AddLink();
        m_sectionId = m_section->GetId();
    } else {
        m_sectionId = 0;
    }
}

void CItem::Unlink(const CSectionHeader& header) {
    header.DropLink();
    m_section = nullptr;
}

bool CItem::IsSectionExpanded() const { return m_section != nullptr && m_section->IsExpanded(); }

uint32_t CItem::NextId() {
    // The core runs on the UI thread only. Ids start at 1: 0 means "no item" to callers.
    static uint32_t next = 0;
    return ++next;
}

void CItem::CopyBaseTo(CItem& clone) const {
    clone.m_text = m_text;
    clone.m_sectionId = m_sectionId;
}

} // namespace rux
