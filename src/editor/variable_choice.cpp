#include "editor/variable_choice.h"

#include "document/identifier_scan.h"
#include "document/item_list.h"
#include "document/program_paths.h"
#include "document/rux_document.h"
#include "document/section_items.h"

#include <algorithm>
#include <strings.h>

namespace rux {
namespace {

const CSectionHeader* SectionOf(const CItem& item) {
    if (item.GetType() == kItemSectionHeader) return static_cast<const CSectionHeader*>(&item);
    return item.GetSection();
}

bool LessNoCase(const std::string& a, const std::string& b) {
    return strcasecmp(a.c_str(), b.c_str()) < 0;
}

} // namespace

CVariableChoice::CVariableChoice(const CRUXDocument& document, int caretItem) : m_document(document) {
    const CObArrayEx& items = document.Items();
    m_last = items.GetSize() - 1;
    const CItem* caret = caretItem >= 0 && caretItem < items.GetSize() ? items.GetAt(caretItem) : nullptr;
    const CSectionHeader* section = caret ? SectionOf(*caret) : nullptr;
    if (section && section->IsFunctionBlock()) {
        m_functionBlock = true;
        m_first = caretItem;
        while (m_first > 0 && items.GetAt(m_first) != section) --m_first;
        m_last = caretItem;
        while (m_last + 1 < items.GetSize() && SectionOf(*items.GetAt(m_last + 1)) == section) ++m_last;
        Scan();
    } else {
        Add(ReadSymbolFile(document.GetSymbolPath()));
    }
}

void CVariableChoice::Scan() {
    std::vector<std::string> found;
    const CObArrayEx& items = m_document.Items();
    for (int i = m_first; i <= m_last; ++i) {
        const CItem& item = *items.GetAt(i);
        const bool header = item.GetType() == kItemSectionHeader &&
                            static_cast<const CSectionHeader&>(item).IsFunctionBlock();
        if (item.GetType() != kItemLine && !header) continue;
        // Notes are prose: their words are no names.
        if (item.GetSection() && item.GetSection()->IsNotes()) continue;
        ScanLineIdentifiers(item.GetText(), [&](std::string_view word) { found.emplace_back(word); });
    }
    Add(std::move(found));
}

void CVariableChoice::Add(std::vector<std::string> names) {
    for (std::string& name : names) {
        const auto at = std::lower_bound(m_names.begin(), m_names.end(), name, LessNoCase);
        if (at != m_names.end() && strcasecmp(at->c_str(), name.c_str()) == 0) continue;
        m_names.insert(at, std::move(name));
    }
}

} // namespace rux
