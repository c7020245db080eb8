#include "editor/program_tree.h"

#include "document/ascii_text.h"
#include "document/diagram_item.h"
#include "document/item_list.h"
#include "document/rux_document.h"
#include "document/section_items.h"

#include <algorithm>

namespace rux {
namespace {

bool LabelLess(const CTreeNode& a, const CTreeNode& b) {
    const std::string& x = a.label;
    const std::string& y = b.label;
    const size_t n = std::min(x.size(), y.size());
    for (size_t i = 0; i < n; ++i) {
        // Lower case, so that '_' and the other marks come before the letters.
        const char cx = LowerAscii(x[i]), cy = LowerAscii(y[i]);
        if (cx != cy) return static_cast<unsigned char>(cx) < static_cast<unsigned char>(cy);
    }
    return x.size() < y.size();
}

std::string SectionTip(const CSectionHeader& header) {
    // A function block documents itself; any other section is described by its header line.
    return header.GetFbDescription().empty() ? header.GetText() : header.GetFbDescription();
}

} // namespace

int SectionKindIcon(const CSectionHeader* header) {
    return header ? header->GetSectionKind() : kSectionOther;
}

CTreeNode BuildProgramNode(const CRUXDocument& document, const CTreeOptions& options) {
    CTreeNode program;
    program.kind = kTreeNodeProgram;
    program.label = document.GetTitle();
    program.image = kTreeImageProgram;
    const CObArrayEx& items = document.Items();
    CTreeNode* section = nullptr;
    int member = 0;
    // Over the list itself: this visits every row of the program, and GetAt checks each index.
    int i = -1;
    for (const CItem* item : items) {
        ++i;
        switch (item->GetType()) {
        case kItemSectionHeader: {
            const auto* header = static_cast<const CSectionHeader*>(item);
            CTreeNode node;
            node.kind = kTreeNodeSection;
            node.label = options.showFbParameters ? header->GetText() : header->GetShortName();
            node.image = SectionKindIcon(header);
            node.item = i;
            node.tip = SectionTip(*header);
            program.children.push_back(std::move(node));
            section = &program.children.back();
            member = 0;
            break;
        }
        case kItemSectionFooter:
            section = nullptr;
            break;
        case kItemDiag: {
            ++member;
            // Diagrams live inside sections; one outside any (a damaged file) hangs under the program.
            const auto* diagram = static_cast<const CDiag*>(item);
            CTreeNode node;
            node.kind = kTreeNodeDiagram;
            node.label = diagram->GetTitle();
            node.image = diagram->GetKind() == kDiagramQld ? kTreeImageQuickLadder : kTreeImageDiagram;
            node.item = i;
            node.extra = member;
            (section ? section->children : program.children).push_back(std::move(node));
            break;
        }
        default:
            ++member;
            break;
        }
    }
    SortTreeNodes(program.children, options.sortAlphabetically);
    return program;
}

void SortTreeNodes(std::vector<CTreeNode>& nodes, bool alphabetical) {
    std::stable_sort(nodes.begin(), nodes.end(), [alphabetical](const CTreeNode& a, const CTreeNode& b) {
        if (alphabetical || (a.kind == kTreeNodeProgram && b.kind == kTreeNodeProgram))
            return LabelLess(a, b);
        // Sections and diagrams of one program keep their order in the item list.
        return a.item < b.item;
    });
    for (CTreeNode& node : nodes)
        SortTreeNodes(node.children, alphabetical);
}

int SectionHeaderOf(const CRUXDocument& document, int index) {
    const CObArrayEx& items = document.Items();
    if (index < 0 || index >= items.GetSize()) return -1;
    const CItem* item = items.GetAt(index);
    if (item->GetType() == kItemSectionHeader) return index;
    const CSectionHeader* header = item->GetSection();
    if (!header) return -1;
    for (int i = index - 1; i >= 0; --i)
        if (items.GetAt(i) == header) return i;
    return -1;
}

} // namespace rux
