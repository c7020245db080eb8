// The Workspace pane: every open program with its sections and diagrams.
#pragma once

#include "document/document_observer.h"
#include "editor/program_tree.h"

#include <QWidget>

#include <map>

class QTreeWidget;
class QTreeWidgetItem;

namespace rux {

class CRUXDocument;

class CTreeBar : public QWidget, public CDocumentObserver {
    Q_OBJECT

public:
    // Context menus by node kind.
    enum EMenu : int { kMenuDocument = 137, kMenuSection = 138, kMenuDiagram = 139 };
    static constexpr int kWorkspaceLabel = 62001; // IDS_TREE_WORKSPACE

    explicit CTreeBar(QWidget* parent = nullptr);
    ~CTreeBar() override;

    // Enters a program (or rebuilds its entry when it is there already) and watches it.
    void AddDocument(CRUXDocument& document);
    void RemoveDocument(CRUXDocument& document);
    // Rebuilds a program's subtree from its items.
    void Refresh(CRUXDocument& document);

    void SetSortAlphabetically(bool on);
    void SetShowFbParameters(bool on);
    void SetOpenDiagramOnDoubleClick(bool on) { m_openDiagram = on; }
    const CTreeOptions& Options() const { return m_options; }

    // The selection follows the active view: its program, and the section holding its caret
    // (-1 selects the program node). A rebuild of the program keeps the selection on that section.
    void SelectNode(CRUXDocument& document, int headerIndex);

    QTreeWidget* Tree() const { return m_tree; }
    // The program of the selected node (any node under it); null when none is selected.
    CRUXDocument* SelectedDocument() const;
    // "label" lines of the whole tree, indented two blanks per level: what a user sees.
    QString Dump() const;

    void OnUpdate(CRUXDocument& document, int hint, const CDocumentChange* change) override;

signals:
    // Double-click or Enter on a node: the frame activates the program's view and moves its caret to
    // `item` (-1 for a program node); `openDiagram` asks for the diagram window as well.
    void goToItem(CRUXDocument* document, int item, bool openDiagram);
    // The selected node changed to a node of this program.
    void documentSelected(CRUXDocument* document);
    // A node's context menu (137, 138 or 139) is wanted at a screen position.
    void contextMenuRequested(int menu, CRUXDocument* document, int item, const QPoint& globalPos);
    // The Delete key on a section or diagram node (kind is ETreeNodeKind).
    void deleteRequested(CRUXDocument* document, int kind, int item);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Activate(QTreeWidgetItem* node);
    void Fill(QTreeWidgetItem* parent, const std::vector<CTreeNode>& nodes, CRUXDocument& document);
    // A new title renames the program's node and re-sorts the programs.
    void Relabel(CRUXDocument& document);
    void SortPrograms();
    CRUXDocument* DocumentOf(QTreeWidgetItem* node) const;

    QTreeWidget* m_tree;
    QTreeWidgetItem* m_root;
    std::map<CRUXDocument*, QTreeWidgetItem*> m_programs;
    // Per program, the section its view's caret was last reported in.
    std::map<CRUXDocument*, int> m_caretSections;
    CTreeOptions m_options;
    bool m_openDiagram = false;
};

} // namespace rux
