// The program document's edit primitives and transactions: the one road by which items change.
#include "document/diagram_item.h"
#include "document/header_item.h"
#include "document/item_list.h"
#include "document/lng_document.h"
#include "document/rux_document.h"
#include "document/section_items.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace rux {
namespace {

bool IsSectionLine(const CItem& item) {
    return item.GetType() == kItemSectionHeader || item.GetType() == kItemSectionFooter;
}

// Folds the records of one transaction into the range they touched, in the indices of the end:
// before `first` and after `last` the list is the old one, shifted by inserted - removed behind it.
CDocumentChange SumOf(const std::vector<CDocumentChange>& records) {
    CDocumentChange sum;
    int first = -1, last = -1;
    auto mark = [&](int from, int to) {
        if (first < 0 || from < first) first = from;
        last = std::max(last, to);
    };
    for (const CDocumentChange& r : records) {
        sum.sections = sum.sections || r.sections;
        if (r.removed > 0) {
            // Marked items inside the removed block are gone, those behind it move up; the range
            // must reach the cut, or the items behind it would seem unmoved.
            const int cut = r.first, gone = r.removed;
            auto shift = [&](int& i, int inside) {
                if (i >= cut + gone)
                    i -= gone;
                else if (i >= cut)
                    i = inside;
            };
            if (first >= 0) {
                shift(last, cut - 1);
                shift(first, cut);
            }
            first = first < 0 ? cut : std::min(first, cut);
            last = std::max(last, cut - 1);
            sum.removed += gone;
        }
        if (r.inserted > 0) {
            if (last >= r.first) last += r.inserted;
            mark(r.first, r.first + r.inserted - 1);
            sum.inserted += r.inserted;
        }
        if (r.removed == 0 && r.inserted == 0) mark(r.first, r.last);
    }
    sum.first = first < 0 ? 0 : first;
    sum.last = last;
    return sum;
}

} // namespace

void CRUXDocument::BeginTransaction(const void* source, CEditRecorder* recorder) {
    if (m_transactionDepth++ > 0) return;
    m_source = source;
    m_recorder = recorder;
    m_records.clear();
    m_structural = false;
    m_relink = false;
    m_contentChanged = false;
    m_modifies = false;
    m_membership = false;
}

bool CRUXDocument::EndTransaction() {
    if (m_transactionDepth == 0 || --m_transactionDepth > 0) return false;
    const void* source = m_source;
    m_source = nullptr;
    m_recorder = nullptr;
    if (m_records.empty()) return false;
    if (m_relink) {
        // Rows that joined or left a section show or hide with its fold: the views measure them.
        const auto [first, last] = m_program.Items().RelinkSections();
        if (first <= last) Record(CDocumentChange{first, 0, 0, last, true}, true);
    }
    const std::vector<CDocumentChange> records = std::move(m_records);
    m_records.clear();
    CDocumentChange sum = SumOf(records);
    sum.sections = sum.sections || m_relink;
    if (m_contentChanged) {
        // Rows taken out with their whole sections leave every other row in its section, and a
        // relink's rows are inside the range (it was recorded above): only the range is scanned
        // again. A header that turned into a notes section, or members left without one, change
        // rows outside it.
        CDocumentChange scan = sum;
        scan.sections = m_membership;
        Reanalyse(scan);
    }
    // Over a copy: an observer may detach itself while being told.
    const std::vector<CDocumentObserver*> observers = m_observers;
    for (const CDocumentChange& record : records)
        for (CDocumentObserver* observer : observers)
            observer->OnEditRecord(*this, record, source);
    // The title's update comes after the records: a view that answers it with a relayout must
    // already have followed them, or it measures the whole program again.
    if (m_modifies || m_contentChanged) SetModified(true);
    // Marks and window bindings change no text and no row height: the views repaint the rows.
    const int hint = m_structural ? kHintStructure : m_contentChanged ? kHintContent : kHintMarks;
    UpdateAllViews(hint, &sum);
    return true;
}

void CRUXDocument::Record(const CDocumentChange& record, bool structural) {
    m_records.push_back(record);
    m_structural = m_structural || structural;
}

void CRUXDocument::InsertItems(int index, std::vector<std::unique_ptr<CItem>> items) {
    if (index < 0) throw std::out_of_range("negative insert index");
    for (const auto& item : items)
        if (!item) throw std::out_of_range("no item to insert");
    if (items.empty()) return;
    CObArrayEx& list = m_program.Items();
    index = std::min(index, list.GetSize());
    BeginTransaction();
    CDocumentChange record{index, 0, static_cast<int>(items.size()),
                           index + static_cast<int>(items.size()) - 1};
    bool unlinked = false;
    for (const auto& item : items) {
        if (IsSectionLine(*item)) record.sections = true;
        if (item->GetSectionId() != 0 && item->GetSection() == nullptr) unlinked = true;
    }
    std::vector<const CItem*> inserted;
    inserted.reserve(items.size());
    for (const auto& item : items)
        inserted.push_back(item.get());
    list.Insert(index, std::move(items));
    // Rows put back into a section that still stands (an undone delete) find their header above
    // them; a header or footer coming in may gather rows anywhere, which only a relink sees.
    if (record.sections || (unlinked && !list.LinkMembers(index, static_cast<int>(inserted.size()))))
        m_relink = true;
    if (m_recorder)
        for (size_t i = 0; i < inserted.size(); ++i)
            m_recorder->ItemInserted(index + static_cast<int>(i), *inserted[i]);
    m_contentChanged = true;
    Record(record, true);
    EndTransaction();
}

std::vector<std::unique_ptr<CItem>> CRUXDocument::RemoveItems(int index, int count) {
    const CObArrayEx& list = m_program.Items();
    if (count < 0 || index < 0 || index > list.GetSize() || count > list.GetSize() - index)
        throw std::out_of_range("remove range outside the list");
    return RemoveItems(std::vector<CObArrayEx::CRun>{{index, count}});
}

std::vector<std::unique_ptr<CItem>> CRUXDocument::RemoveItems(const std::vector<CObArrayEx::CRun>& given) {
    CObArrayEx& list = m_program.Items();
    std::vector<CObArrayEx::CRun> runs;
    runs.reserve(given.size());
    int end = 0;
    for (const CObArrayEx::CRun& run : given) {
        if (run.count < 0 || run.first < end || run.count > list.GetSize() - run.first)
            throw std::out_of_range("remove runs outside the list or out of order");
        end = run.first + run.count;
        if (run.count > 0) runs.push_back(run);
    }
    if (runs.empty()) return {};
    BeginTransaction();
    std::vector<CDocumentChange> records;
    records.reserve(runs.size());
    std::vector<uint32_t> before; // the item each run followed
    before.reserve(runs.size());
    for (const CObArrayEx::CRun& run : runs) {
        before.push_back(run.first > 0 ? list.GetAt(run.first - 1)->GetId() : 0);
        CDocumentChange& record = records.emplace_back(CDocumentChange{run.first, run.count, 0, run.first - 1});
        for (int i = run.first; i < run.first + run.count; ++i)
            if (IsSectionLine(*list.GetAt(i))) record.sections = true;
    }
    // A diagram window bound to a removed item lets go of it now: its pointer would outlive the
    // item, and the memory may serve the next item made.
    if (!m_diagramDocuments.empty()) {
        const std::vector<CLngDocument*> windows = m_diagramDocuments;
        for (CLngDocument* window : windows)
            for (const CObArrayEx::CRun& run : runs)
                for (int i = run.first; i < run.first + run.count; ++i)
                    if (window->GetItem() == list.GetAt(i)) window->Unbind();
    }
    std::vector<std::vector<std::unique_ptr<CItem>>> taken = list.Remove(runs);
    // Links are pointers: the rows left keep theirs; only members whose header went lose them.
    std::vector<std::unique_ptr<CItem>> removed;
    for (size_t r = runs.size(); r-- > 0;) {
        if (m_recorder) m_recorder->ItemsRemoved(runs[r].first, before[r], taken[r]);
        Record(records[r], true);
    }
    for (auto& run : taken)
        for (auto& item : run)
            if (item) removed.push_back(std::move(item));
    m_contentChanged = true;
    if (list.RemoveOrphaned()) {
        m_membership = true;
        Record(CDocumentChange{list.OrphanedFirst(), 0, 0, list.OrphanedLast(), true}, true);
    }
    EndTransaction();
    return removed;
}

void CRUXDocument::SetItemText(int index, std::string text) {
    const CItem* item = Items().GetAt(index);
    if (item->GetText() == text) return; // nothing changes: no record, no undo action
    ModifyItem(index, [&](CItem& target) {
        target.SetText(std::move(text));
        return true;
    });
}

void CRUXDocument::RestoreItemContent(int index, const CItem& snapshot) {
    ModifyItem(index, [&](CItem& target) {
        if (target.GetType() == kItemPar && snapshot.GetType() == kItemPar)
            static_cast<CPar&>(target).Header() = static_cast<const CPar&>(snapshot).Header();
        else
            target.SetText(snapshot.GetText());
        return true;
    });
}

bool CRUXDocument::ModifyItem(int index, const std::function<bool(CItem&)>& change) {
    CItem* item = m_program.Items().MutableAt(index);
    BeginTransaction();
    if (m_recorder) m_recorder->ItemChanging(index, *item);
    const bool changed = change(*item);
    // Within the open transaction the record joins it, and the transaction ends once, below.
    if (changed) NoteItemChanged(index);
    EndTransaction();
    return changed;
}

void CRUXDocument::NoteItemChanged(int index) {
    const CItem* item = Items().GetAt(index);
    BeginTransaction();
    CDocumentChange record{index, 0, 0, index};
    record.sections = IsSectionLine(*item);
    m_membership = m_membership || record.sections; // a renamed header may make a notes section
    m_contentChanged = true;
    Record(record, false);
    EndTransaction();
}

bool CRUXDocument::ChangeItemState(int index, int first, int last, bool structural, bool modifies,
                                   const std::function<bool(CItem&)>& change) {
    CItem* item = m_program.Items().MutableAt(index);
    if (!change(*item)) return false;
    BeginTransaction();
    m_modifies = m_modifies || modifies;
    Record(CDocumentChange{first, 0, 0, last}, structural);
    EndTransaction();
    return true;
}

bool CRUXDocument::SetExpanded(int header, bool expanded, bool byUser) {
    if (Items().GetAt(header)->GetType() != kItemSectionHeader) return false;
    // The members and the footer show or hide with the header, which shows "{...}" or not.
    return ChangeItemState(header, header, Items().SectionEnd(header), true, byUser, [&](CItem& item) {
        auto& section = static_cast<CSectionHeader&>(item);
        if (section.IsExpanded() == expanded) return false;
        section.SetExpanded(expanded);
        return true;
    });
}

bool CRUXDocument::SetDiagramOpen(int index, bool open) {
    if (Items().GetAt(index)->GetType() != kItemDiag) return false;
    return ChangeItemState(index, index, index, true, true, [&](CItem& item) {
        auto& diagram = static_cast<CDiag&>(item);
        if (diagram.IsOpen() == open) return false;
        diagram.SetOpen(open);
        return true;
    });
}

bool CRUXDocument::SetMark(int index, int kind, bool on) {
    return ChangeItemState(index, index, index, false, kind == kMarkBookmark, [&](CItem& item) {
        const unsigned before = item.MarkState();
        if (kind == kMarkBreakpoint)
            item.SetBreakpointA(on);
        else if (on)
            item.SetMark(kind);
        else
            item.ClearMark(kind);
        return item.MarkState() != before;
    });
}

bool CRUXDocument::ToggleMark(int index, int kind) {
    return ChangeItemState(index, index, index, false, kind == kMarkBookmark, [&](CItem& item) {
        const unsigned before = item.MarkState();
        if (kind == kMarkBreakpoint)
            item.SetBreakpointA(!item.HasMark(kMarkBreakpoint));
        else
            item.ToggleMark(kind);
        return item.MarkState() != before;
    });
}

bool CRUXDocument::SetDiagramEditor(int index, CDiagramEditorLink* editor) {
    if (Items().GetAt(index)->GetType() != kItemDiag) return false;
    return ChangeItemState(index, index, index, false, false, [&](CItem& item) {
        auto& diagram = static_cast<CDiag&>(item);
        if (diagram.GetEditor() == editor) return false;
        diagram.SetEditor(editor);
        return true;
    });
}

void CRUXDocument::RelinkSections() {
    BeginTransaction();
    const auto [first, last] = m_program.Items().RelinkSections();
    if (first <= last) {
        m_membership = true;
        Record(CDocumentChange{first, 0, 0, last, true}, true);
    }
    EndTransaction();
}

int CRUXDocument::FindItem(uint32_t id, int hint) const {
    const CObArrayEx& list = m_program.Items();
    const int size = list.GetSize();
    if (id == 0 || size == 0) return -1;
    hint = std::clamp(hint, 0, size - 1);
    // Another view's edit moves an item a few rows as a rule: look near the hint first.
    constexpr int kNear = 64;
    for (int d = 0; d <= kNear; ++d) {
        if (hint + d < size && list.GetAt(hint + d)->GetId() == id) return hint + d;
        if (d > 0 && hint - d >= 0 && list.GetAt(hint - d)->GetId() == id) return hint - d;
    }
    for (int i = 0; i < size; ++i)
        if (list.GetAt(i)->GetId() == id) return i;
    return -1;
}

} // namespace rux
