// What the program tree shows for one program: its sections and their diagrams, labelled and ordered.
#pragma once

#include <string>
#include <vector>

namespace rux {

class CRUXDocument;
class CSectionHeader;

enum ETreeNodeKind : int {
    kTreeNodeDiagram = 2,
    kTreeNodeProgram = 4,
    kTreeNodeSection = 5,
};

// Images of the tree's one image list; section nodes use the section kind (4..17).
enum ETreeImage : int {
    kTreeImageProgram = 1,
    kTreeImageDiagram = 2,
    kTreeImageQuickLadder = 3,
};

struct CTreeNode {
    int kind = kTreeNodeProgram;
    std::string label;
    int image = kTreeImageProgram;
    // The section header or diagram's index in the item list; -1 for a program node.
    int item = -1;
    // For a diagram: its place among the items of its section (1 = first member).
    int extra = 0;
    // The info tip of a section node; empty for the others.
    std::string tip;
    std::vector<CTreeNode> children;
};

struct CTreeOptions {
    bool sortAlphabetically = false; // TreeSortAlpha
    bool showFbParameters = false;   // TreeDisplayFBParam
};

// The section kind icon: also what a section header row shows in the text view.
int SectionKindIcon(const CSectionHeader* header);

// The program node of a document with its subtree, siblings already ordered.
CTreeNode BuildProgramNode(const CRUXDocument& document, const CTreeOptions& options);

// Orders siblings at every level: by label without regard to case when sorting, else programs by
// label and sections and diagrams in program order. The order is stable.
void SortTreeNodes(std::vector<CTreeNode>& nodes, bool alphabetical);

// The index of the section header whose section holds item `index` (the header itself included);
// -1 outside any section.
int SectionHeaderOf(const CRUXDocument& document, int index);

} // namespace rux
