// Until the painted program view and the program tree join the frame, a child window shows the
// program as read-only text and the tree lists the open programs.
#include "frame/view_host.h"

#include "document/code_page.h"
#include "document/item.h"
#include "document/item_list.h"
#include "document/output_stream.h"
#include "document/rux_document.h"
#include "shell/command_router.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTreeWidget>

namespace rux {
namespace {

class CTextPreview : public QPlainTextEdit {
public:
    CTextPreview(CRUXDocument& document, QWidget* parent) : QPlainTextEdit(parent), m_document(document) {
        setReadOnly(true);
        setLineWrapMode(QPlainTextEdit::NoWrap);
        setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        std::string text;
        CStringOstream out(text);
        for (int i = 0; i < document.Items().GetSize(); ++i) document.Items()[i]->WriteText(i, out, nullptr);
        setPlainText(QString::fromStdString(Cp1252ToUtf8(text)));
    }
    CRUXDocument& m_document;
};

} // namespace

QWidget* CreateProgramView(CRUXDocument& document, QWidget* parent) {
    return new CTextPreview(document, parent);
}

void BindViewEnvironment(COptionMgr*) {}

bool& OverwriteFlag() {
    static bool overwrite = false;
    return overwrite;
}

void ConnectProgramView(QWidget* view, QObject* context, const CViewHooks& hooks) {
    auto* preview = dynamic_cast<CTextPreview*>(view);
    if (!preview || !hooks.position) return;
    QObject::connect(preview, &QPlainTextEdit::cursorPositionChanged, context,
                     [preview, hooks] { hooks.position(ViewPositionText(preview)); });
}

bool UpdateViewCommand(QWidget*, CCmdUI&) {
    return false;
}

bool RunViewCommand(QWidget*, int) {
    return false;
}

void ViewGoToItem(QWidget* view, int index) {
    auto* preview = dynamic_cast<CTextPreview*>(view);
    if (!preview) return;
    QTextCursor cursor(preview->document()->findBlockByNumber(index));
    preview->setTextCursor(cursor);
    preview->ensureCursorVisible();
}

QString ViewPositionText(QWidget* view) {
    auto* preview = dynamic_cast<CTextPreview*>(view);
    if (!preview) return {};
    const QTextCursor c = preview->textCursor();
    return QString("Ln %1, Col %2").arg(c.blockNumber()).arg(c.positionInBlock() + 1);
}

QWidget* CreateProgramTree(QWidget* parent) {
    auto* tree = new QTreeWidget(parent);
    tree->setHeaderHidden(true);
    tree->setFrameShape(QFrame::NoFrame);
    tree->addTopLevelItem(new QTreeWidgetItem({QObject::tr("Workspace")}));
    return tree;
}

void ConnectProgramTree(QWidget*, QObject*, const CTreeHooks&) {}

void TreeSetOptions(QWidget*, bool, bool, bool) {}

void TreeSelectDocument(QWidget*, CRUXDocument&) {}

namespace {

QTreeWidgetItem* FindProgram(QTreeWidget* tree, CRUXDocument& document) {
    QTreeWidgetItem* root = tree->topLevelItem(0);
    for (int i = 0; root && i < root->childCount(); ++i)
        if (root->child(i)->data(0, Qt::UserRole).value<void*>() == &document) return root->child(i);
    return nullptr;
}

} // namespace

void TreeAddDocument(QWidget* widget, CRUXDocument& document) {
    auto* tree = qobject_cast<QTreeWidget*>(widget);
    if (!tree || FindProgram(tree, document)) return;
    auto* node = new QTreeWidgetItem({QString::fromStdString(Cp1252ToUtf8(document.GetTitle()))});
    node->setData(0, Qt::UserRole, QVariant::fromValue<void*>(&document));
    tree->topLevelItem(0)->addChild(node);
    tree->expandAll();
}

void TreeRemoveDocument(QWidget* widget, CRUXDocument& document) {
    auto* tree = qobject_cast<QTreeWidget*>(widget);
    if (!tree) return;
    delete FindProgram(tree, document);
}

void TreeRefresh(QWidget* widget, CRUXDocument& document) {
    auto* tree = qobject_cast<QTreeWidget*>(widget);
    if (QTreeWidgetItem* node = tree ? FindProgram(tree, document) : nullptr)
        node->setText(0, QString::fromStdString(Cp1252ToUtf8(document.GetTitle())));
}

QString TreeText(QWidget* widget) {
    auto* tree = qobject_cast<QTreeWidget*>(widget);
    QString text;
    QTreeWidgetItem* root = tree ? tree->topLevelItem(0) : nullptr;
    for (int i = 0; root && i < root->childCount(); ++i) text += root->child(i)->text(0) + "\n";
    return text;
}

} // namespace rux
