#include "panes/tree_bar.h"

#include "cp1252.h"
#include "document/rux_document.h"
#include "document/string_table.h"
#include "view/icons.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <array>
#include <functional>

namespace rux {
namespace {

enum ERole : int {
    kRoleKind = Qt::UserRole,
    kRoleItem,
    kRoleDocument,
    kRoleExtra,
};

// A node keeps what it stands for in plain fields: a program of many sections makes thousands of
// nodes, and each role stored through setData costs a search and a copy.
class CNodeItem final : public QTreeWidgetItem {
public:
    CNodeItem(const CTreeNode& node, CRUXDocument& document)
        : m_kind(node.kind), m_item(node.item), m_extra(node.extra), m_document(&document) {}
    QVariant data(int column, int role) const override {
        if (column != 0) return QTreeWidgetItem::data(column, role);
        switch (role) {
        case kRoleKind: return m_kind;
        case kRoleItem: return m_item;
        case kRoleExtra: return m_extra;
        case kRoleDocument: return QVariant::fromValue(reinterpret_cast<quintptr>(m_document));
        default: return QTreeWidgetItem::data(column, role);
        }
    }

private:
    int m_kind, m_item, m_extra;
    CRUXDocument* m_document;
};

QTreeWidgetItem* MakeNode(const CTreeNode& node, CRUXDocument& document) {
    // The icons pick their colours when painted, so one of each serves every theme.
    static std::array<QIcon, 18> icons;
    const size_t image = node.image >= 0 && node.image < 18 ? static_cast<size_t>(node.image) : 17;
    if (icons[image].isNull()) icons[image] = KindListIcon(static_cast<int>(image));
    auto* item = new CNodeItem(node, document);
    // The program's label is its title, which holds the file name.
    item->setText(0, node.kind == kTreeNodeProgram ? QString::fromUtf8(document.GetDisplayTitle())
                                                   : FromCp1252(node.label));
    item->setIcon(0, icons[image]);
    if (!node.tip.empty()) item->setToolTip(0, FromCp1252(node.tip));
    return item;
}

} // namespace

CTreeBar::CTreeBar(QWidget* parent) : QWidget(parent), m_tree(new QTreeWidget(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tree);
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->setIconSize(QSize(16, 16));
    m_tree->setUniformRowHeights(true);
    m_tree->setExpandsOnDoubleClick(false);
    m_tree->setContextMenuPolicy(Qt::DefaultContextMenu);
    m_root = new QTreeWidgetItem(m_tree);
    m_root->setText(0, QString::fromLatin1(LoadString(kWorkspaceLabel)));
    m_root->setIcon(0, KindListIcon(kTreeImageProgram));
    m_root->setData(0, kRoleKind, 0);
    m_root->setExpanded(true);
    m_tree->installEventFilter(this);
    m_tree->viewport()->installEventFilter(this);
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* node) { Activate(node); });
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* node) {
        if (CRUXDocument* doc = DocumentOf(node)) emit documentSelected(doc);
    });
}

CTreeBar::~CTreeBar() {
    for (auto& [doc, node] : m_programs)
        doc->RemoveObserver(this);
}

CRUXDocument* CTreeBar::DocumentOf(QTreeWidgetItem* node) const {
    if (!node || node == m_root) return nullptr;
    auto* doc = reinterpret_cast<CRUXDocument*>(node->data(0, kRoleDocument).value<quintptr>());
    return m_programs.count(doc) ? doc : nullptr;
}

CRUXDocument* CTreeBar::SelectedDocument() const {
    return DocumentOf(m_tree->currentItem());
}

void CTreeBar::AddDocument(CRUXDocument& document) {
    if (!m_programs.count(&document)) {
        document.AddObserver(this);
        m_programs[&document] = nullptr;
    }
    Refresh(document);
}

void CTreeBar::RemoveDocument(CRUXDocument& document) {
    const auto it = m_programs.find(&document);
    if (it == m_programs.end()) return;
    document.RemoveObserver(this);
    delete it->second;
    m_programs.erase(it);
    m_caretSections.erase(&document);
}

void CTreeBar::Fill(QTreeWidgetItem* parent, const std::vector<CTreeNode>& nodes, CRUXDocument& document) {
    for (const CTreeNode& node : nodes) {
        QTreeWidgetItem* item = MakeNode(node, document);
        parent->addChild(item);
        Fill(item, node.children, document);
    }
}

void CTreeBar::Refresh(CRUXDocument& document) {
    const auto it = m_programs.find(&document);
    if (it == m_programs.end()) return;
    const CTreeNode program = BuildProgramNode(document, m_options);
    QTreeWidgetItem*& node = it->second;
    // The rebuild takes the selected node away: within this program the selection comes back on the
    // section of the caret.
    const bool selectedHere = DocumentOf(m_tree->currentItem()) == &document;
    const QSignalBlocker block(m_tree);
    // Sections the user had opened stay open across the rebuild.
    QSet<QString> expanded;
    bool wasExpanded = true;
    if (node) {
        wasExpanded = node->isExpanded();
        for (int i = 0; i < node->childCount(); ++i)
            if (node->child(i)->isExpanded()) expanded.insert(node->child(i)->text(0));
        delete node;
    }
    node = MakeNode(program, document);
    Fill(node, program.children, document);
    m_root->addChild(node);
    node->setExpanded(wasExpanded);
    for (int i = 0; i < node->childCount(); ++i)
        if (expanded.contains(node->child(i)->text(0))) node->child(i)->setExpanded(true);
    SortPrograms();
    if (selectedHere) {
        const auto caret = m_caretSections.find(&document);
        SelectNode(document, caret == m_caretSections.end() ? -1 : caret->second);
    }
}

void CTreeBar::Relabel(CRUXDocument& document) {
    const auto it = m_programs.find(&document);
    if (it == m_programs.end() || !it->second) return;
    const QString label = QString::fromUtf8(document.GetDisplayTitle());
    if (it->second->text(0) == label) return;
    it->second->setText(0, label);
    SortPrograms();
}

void CTreeBar::SortPrograms() {
    // Programs always go by label without regard to case.
    const auto before = [](const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
        return a->text(0).compare(b->text(0), Qt::CaseInsensitive) < 0;
    };
    bool sorted = true;
    for (int i = 1; i < m_root->childCount() && sorted; ++i)
        sorted = !before(m_root->child(i), m_root->child(i - 1));
    if (sorted) return;
    // Taking the nodes out loses the selection and the open state below them: both come back.
    QTreeWidgetItem* selected = m_tree->currentItem();
    const QSignalBlocker block(m_tree);
    std::vector<QTreeWidgetItem*> opened;
    std::function<void(QTreeWidgetItem*)> collect = [&](QTreeWidgetItem* node) {
        if (node->isExpanded()) opened.push_back(node);
        for (int i = 0; i < node->childCount(); ++i)
            collect(node->child(i));
    };
    for (int i = 0; i < m_root->childCount(); ++i)
        collect(m_root->child(i));
    std::vector<QTreeWidgetItem*> children;
    while (m_root->childCount() > 0)
        children.push_back(m_root->takeChild(0));
    std::stable_sort(children.begin(), children.end(), before);
    for (QTreeWidgetItem* child : children)
        m_root->addChild(child);
    for (QTreeWidgetItem* node : opened)
        node->setExpanded(true);
    m_root->setExpanded(true);
    if (selected) m_tree->setCurrentItem(selected);
}

void CTreeBar::SetSortAlphabetically(bool on) {
    if (m_options.sortAlphabetically == on) return;
    m_options.sortAlphabetically = on;
    for (auto& [doc, node] : m_programs)
        Refresh(*doc);
}

void CTreeBar::SetShowFbParameters(bool on) {
    if (m_options.showFbParameters == on) return;
    m_options.showFbParameters = on;
    for (auto& [doc, node] : m_programs)
        Refresh(*doc);
}

void CTreeBar::SelectNode(CRUXDocument& document, int headerIndex) {
    const auto it = m_programs.find(&document);
    if (it == m_programs.end() || !it->second) return;
    m_caretSections[&document] = headerIndex;
    QTreeWidgetItem* target = it->second;
    if (headerIndex >= 0)
        for (int i = 0; i < it->second->childCount(); ++i) {
            QTreeWidgetItem* child = it->second->child(i);
            if (child->data(0, kRoleKind).toInt() == kTreeNodeSection &&
                child->data(0, kRoleItem).toInt() == headerIndex) {
                target = child;
                break;
            }
        }
    const QSignalBlocker block(m_tree);
    m_tree->setCurrentItem(target);
}

void CTreeBar::Activate(QTreeWidgetItem* node) {
    CRUXDocument* doc = DocumentOf(node);
    if (!doc) return;
    const int kind = node->data(0, kRoleKind).toInt();
    const int item = kind == kTreeNodeProgram ? -1 : node->data(0, kRoleItem).toInt();
    emit goToItem(doc, item, kind == kTreeNodeDiagram && m_openDiagram);
}

bool CTreeBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_tree && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Activate(m_tree->currentItem());
            return true;
        }
        if (key == Qt::Key_Delete) {
            QTreeWidgetItem* node = m_tree->currentItem();
            CRUXDocument* doc = DocumentOf(node);
            const int kind = node ? node->data(0, kRoleKind).toInt() : 0;
            if (doc && (kind == kTreeNodeSection || kind == kTreeNodeDiagram))
                emit deleteRequested(doc, kind, node->data(0, kRoleItem).toInt());
            return true;
        }
    }
    if (watched == m_tree->viewport() && event->type() == QEvent::ContextMenu) {
        auto* menuEvent = static_cast<QContextMenuEvent*>(event);
        QTreeWidgetItem* node = m_tree->itemAt(menuEvent->pos());
        CRUXDocument* doc = DocumentOf(node);
        if (!doc) return true;
        m_tree->setCurrentItem(node);
        const int kind = node->data(0, kRoleKind).toInt();
        const int menu = kind == kTreeNodeProgram   ? kMenuDocument
                         : kind == kTreeNodeSection ? kMenuSection
                                                    : kMenuDiagram;
        emit contextMenuRequested(menu, doc, kind == kTreeNodeProgram ? -1 : node->data(0, kRoleItem).toInt(),
                                  menuEvent->globalPos());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CTreeBar::OnUpdate(CRUXDocument& document, int hint, const CDocumentChange* change) {
    // Rebuilt on structural changes, never on a keystroke inside a line; a new title (the first
    // keystroke marks the program modified) only renames the program's node.
    if (hint == kHintTitle) {
        Relabel(document);
        return;
    }
    if (hint == kHintStructure || hint == kHintAll) {
        Refresh(document);
        return;
    }
    if (hint == kHintContent && change && change->sections) Refresh(document);
}

QString CTreeBar::Dump() const {
    QString out;
    std::function<void(const QTreeWidgetItem*, int)> walk = [&](const QTreeWidgetItem* node, int depth) {
        out += QString(depth * 2, QLatin1Char(' ')) + node->text(0) + QLatin1Char('\n');
        for (int i = 0; i < node->childCount(); ++i)
            walk(node->child(i), depth + 1);
    };
    walk(m_root, 0);
    return out;
}

} // namespace rux
