#include "panes/porting_panes.h"

#include "porting/porting_issue.h"
#include "porting/porting_rows.h"
#include "porting/porting_window_model.h"
#include "cp1252.h"
#include "themed_icon.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QToolBar>
#include <QVBoxLayout>

#include <map>

namespace rux {

// --- list icons -------------------------------------------------------------------------------

QIcon PortingListIcon(int icon) {
    static std::map<int, QIcon> cache;
    if (auto it = cache.find(icon); it != cache.end()) return it->second;
    // Squares in the colours of the program view's porting markers, so that list and margin agree.
    struct CLook {
        QColor fill, edge;
    };
    static const std::map<int, CLook> looks = {
        {kPortIconNoConvert, {QColor(0x8a, 0x94, 0xa3), QColor(0x4a, 0x53, 0x60)}},
        {kPortIconCaveats, {QColor(0xe8, 0xa3, 0x2e), QColor(0x9a, 0x62, 0x0c)}},
        {kPortIconConvert, {QColor(0x3f, 0xa3, 0x4d), QColor(0x1f, 0x62, 0x2a)}},
        {kPortIconConverted, {QColor(0xff, 0xff, 0xff), QColor(0x4a, 0x53, 0x60)}},
        {kPortIconSeeHelp, {QColor(0x3a, 0x78, 0xc2), QColor(0x1d, 0x4f, 0x8c)}},
        {kPortIconIgnored, {QColor(0xd9, 0xdc, 0xe1), QColor(0x8a, 0x94, 0xa3)}},
    };
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    if (auto look = looks.find(icon); look != looks.end()) {
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(look->second.edge, 1));
        p.setBrush(look->second.fill);
        p.drawRoundedRect(QRectF(2.5, 2.5, 11, 11), 2, 2);
        QPen mark(look->second.edge, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.setPen(mark);
        if (icon == kPortIconConverted) { // a tick: done
            p.drawPolyline(QPolygonF({QPointF(5, 8), QPointF(7, 10.5), QPointF(11, 5.5)}));
        } else if (icon == kPortIconIgnored) { // a stroke through: left alone
            p.drawLine(QPointF(5, 11), QPointF(11, 5));
        } else if (icon == kPortIconSeeHelp) { // an "i" in white
            p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap));
            p.drawPoint(QPointF(8, 5.3));
            p.drawLine(QPointF(8, 7.5), QPointF(8, 10.8));
        }
    }
    return cache[icon] = QIcon(pixmap);
}

// --- the list ---------------------------------------------------------------------------------

CPortingToolListCtrl::CPortingToolListCtrl(QWidget* parent) : QTreeWidget(parent) {
    setObjectName("PortingToolList");
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setIconSize(QSize(16, 16));
    setSortingEnabled(false); // the model sorts
    const auto& columns = PortingColumns();
    QStringList titles;
    for (const CPortingColumnInfo& c : columns)
        titles << QString::fromUtf8(c.title);
    setHeaderLabels(titles);
    for (int i = 0; i < static_cast<int>(columns.size()); ++i)
        setColumnWidth(i, columns[static_cast<size_t>(i)].width);
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(true);
    header()->setStretchLastSection(true);
    connect(header(), &QHeaderView::sectionClicked, this, &CPortingToolListCtrl::headerClicked);
}

void CPortingToolListCtrl::Fill(const CPortingListModel& model, bool resize) {
    const QSignalBlocker block(this);
    clear();
    const int columns = static_cast<int>(PortingColumns().size());
    QList<QTreeWidgetItem*> rows;
    for (int r = 0; r < model.RowCount(); ++r) {
        auto* row = new QTreeWidgetItem;
        row->setIcon(kPortColumnIcon, PortingListIcon(model.Icon(r)));
        const QString tip = FromCp1252(model.ToolTip(r));
        for (int c = 0; c < columns; ++c) {
            if (c != kPortColumnIcon) row->setText(c, FromCp1252(model.Text(r, c)));
            row->setToolTip(c, tip);
        }
        rows << row;
    }
    addTopLevelItems(rows);
    header()->setSortIndicator(model.SortColumn(),
                               model.Descending() ? Qt::DescendingOrder : Qt::AscendingOrder);
    if (model.Selected() >= 0) {
        QTreeWidgetItem* selected = topLevelItem(model.Selected());
        setCurrentItem(selected);
        scrollToItem(selected);
    }
    if (resize)
        for (int c = kPortColumnLine; c < columns; ++c)
            resizeColumnToContents(c);
}

void CPortingToolListCtrl::mousePressEvent(QMouseEvent* event) {
    QTreeWidget::mousePressEvent(event);
    if (event->button() == Qt::RightButton) {
        // The menu's commands act on the row it was opened on, without going there first.
        if (QTreeWidgetItem* item = itemAt(event->position().toPoint())) {
            setCurrentItem(item);
            emit rowPicked(indexOfTopLevelItem(item));
        }
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    if (QTreeWidgetItem* item = itemAt(event->position().toPoint())) {
        // The row under the mouse is the one the keys go on from, whatever the view made current.
        setCurrentItem(item);
        emit rowChosen(indexOfTopLevelItem(item));
    }
}

void CPortingToolListCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && itemAt(event->position().toPoint())) {
        emit fixRequested();
        return;
    }
    QTreeWidget::mouseDoubleClickEvent(event);
}

void CPortingToolListCtrl::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
        emit fixRequested();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void CPortingToolListCtrl::keyReleaseEvent(QKeyEvent* event) {
    QTreeWidget::keyReleaseEvent(event);
    // The move happened on the press; the program follows once the key is let go, so that holding
    // an arrow key runs through the list without jumping in the program at every row.
    if ((event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) && !event->isAutoRepeat() &&
        currentItem())
        emit rowChosen(indexOfTopLevelItem(currentItem()));
}

void CPortingToolListCtrl::contextMenuEvent(QContextMenuEvent* event) {
    emit contextMenuAt(event->globalPos());
}

// --- the pane ---------------------------------------------------------------------------------

namespace {

const char* CommandIcon(int id) {
    switch (id) {
    case kCmdPortRefresh:
        return ":/icons/port_refresh.svg";
    case kCmdPortAddPrefix:
        return ":/icons/port_add.svg";
    case kCmdPortRemovePrefix:
        return ":/icons/port_remove.svg";
    case kCmdPortAddAll:
        return ":/icons/port_add_all.svg";
    case kCmdPortRemoveAll:
        return ":/icons/port_remove_all.svg";
    case kCmdPortHelp:
        return ":/icons/port_help.svg";
    default:
        return nullptr;
    }
}

} // namespace

CPortingToolFrame::CPortingToolFrame(RunCommand run, IsEnabled enabled, QWidget* parent)
    : QWidget(parent), m_run(std::move(run)), m_enabled(std::move(enabled)) {
    setObjectName("PortingToolFrame");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_toolbar = new QToolBar(this);
    m_toolbar->setObjectName("PortingToolBar");
    m_toolbar->setIconSize(QSize(16, 16));
    m_list = new CPortingToolListCtrl(this);
    layout->addWidget(m_toolbar);
    layout->addWidget(m_list, 1);
    SetToolbar(false);
}

void CPortingToolFrame::SetToolbar(bool convertible) {
    if (m_built && convertible == m_convertible) return;
    m_built = true;
    m_convertible = convertible;
    m_toolbar->clear();
    for (int id : PortingToolbar(convertible)) {
        QString tip = QString::fromUtf8(PortingCommandText(id));
        tip.remove('&');
        QAction* action = m_toolbar->addAction(ThemedIcon(QString::fromUtf8(CommandIcon(id))), tip);
        action->setObjectName(QString("port%1").arg(id));
        action->setData(id);
        action->setToolTip(tip);
        connect(action, &QAction::triggered, this, [this, id] { m_run(id); });
    }
    UpdateStates();
}

void CPortingToolFrame::UpdateStates() {
    for (QAction* action : m_toolbar->actions())
        if (action->data().isValid()) action->setEnabled(m_enabled(action->data().toInt()));
}

QMenu* CPortingToolFrame::ContextMenu(bool convertible) {
    auto* menu = new QMenu(this);
    menu->setObjectName("PortingContextMenu");
    for (const CPortingMenuItem& item : PortingContextMenu(convertible)) {
        QAction* action = menu->addAction(QString::fromUtf8(item.text));
        action->setData(item.command);
        action->setEnabled(m_enabled(item.command));
        const int id = item.command;
        connect(action, &QAction::triggered, this, [this, id] { m_run(id); });
    }
    return menu;
}

} // namespace rux
