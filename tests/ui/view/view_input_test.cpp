// Composed input, drag-selection past the edges and drag and drop between two views, through the
// events a real desktop delivers.
#include "view/qt_clipboard.h"
#include "view_fixture.h"

#include <QDropEvent>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>

#include <gtest/gtest.h>

namespace rux {
namespace {

using test::CViewFixture;
using Rows = std::vector<std::string>;

struct ComposeCase {
    const char* name;
    const char* commit; // UTF-8
    const char* preedit;
    std::string expected; // the line's bytes afterwards
};

TEST(ViewInput, ComposedTextArrivesAsTypedText) {
    const ComposeCase cases[] = {
        {"an input method's é", "é", "", "a\xE9z"},
        {"a dead key then blank gives the accent alone", "\xC2\xB4", "", "a\xB4z"},
        {"the euro sign is in the code page", "€", "", "a\x80z"},
        {"several characters at once", "ñö", "", "a\xF1\xF6z"},
        {"outside the code page: nothing changes", "ł", "", "az"},
        {"a pre-edit text alone is not typed", "", "^", "az"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CViewFixture f({"az", "next"});
        f.Session().SetCaret({2, 0});
        QInputMethodEvent event(QString::fromUtf8(c.preedit), {});
        event.setCommitString(QString::fromUtf8(c.commit));
        QApplication::sendEvent(f.view.get(), &event);
        EXPECT_EQ(f.Lines(), (Rows{c.expected, "next"}));
        // The caret stands after what was typed.
        EXPECT_EQ(f.Session().Caret(), (CTextPos{static_cast<int>(c.expected.size()), 0}));
    }
}

// A mouse event on the viewport with the left button held.
void SendMouse(QWidget* viewport, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(pos), viewport->mapToGlobal(QPointF(pos)), Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
}

TEST(ViewInput, DragSelectingPastAnEdgeScrollsAndGrowsTheSelection) {
    Rows rows;
    for (int i = 0; i < 200; ++i)
        rows.push_back("row" + std::to_string(i));
    CViewFixture f(rows, "long.rux", QSize(400, 160));
    QWidget* vp = f.view->viewport();
    const int lh = f.view->Metrics().LineHeight();
    const int visible = vp->height() / lh;
    ASSERT_LT(visible, 50);

    SendMouse(vp, QEvent::MouseButtonPress, QPoint(20, f.view->RowRect(1).center().y()), Qt::LeftButton);
    ASSERT_EQ(f.Session().Caret(), (CTextPos{1, 1}));
    // Below the bottom edge, held still: the view scrolls on its own.
    SendMouse(vp, QEvent::MouseMove, QPoint(60, vp->height() + 10), Qt::LeftButton);
    EXPECT_EQ(f.view->verticalScrollBar()->value(), 0) << "no scrolling before the timer";
    QTest::qWait(600);
    const int scrolled = f.view->verticalScrollBar()->value();
    EXPECT_GE(scrolled, 3 * lh);
    EXPECT_EQ(f.Session().SelectionStart(), (CTextPos{1, 1}));
    const int stop = f.Session().SelectionStop().item;
    EXPECT_GT(stop, visible + 2) << "the selection follows the scrolled view";
    // The selection ends on the last row in view.
    EXPECT_EQ(stop, (scrolled + vp->height() - 1) / lh);

    // Released: the scrolling stops.
    SendMouse(vp, QEvent::MouseButtonRelease, QPoint(60, vp->height() + 10), Qt::NoButton);
    const int after = f.view->verticalScrollBar()->value();
    QTest::qWait(300);
    EXPECT_EQ(f.view->verticalScrollBar()->value(), after);
    EXPECT_EQ(f.Session().SelectionStop().item, stop);

    // Above the top edge it goes back up (pressed after the selection's end, so no drag starts).
    SendMouse(vp, QEvent::MouseButtonPress, QPoint(300, f.view->RowRect(stop).center().y()), Qt::LeftButton);
    const CTextPos anchor = f.Session().Caret();
    ASSERT_EQ(anchor.item, stop);
    SendMouse(vp, QEvent::MouseMove, QPoint(60, -10), Qt::LeftButton);
    QTest::qWait(400);
    EXPECT_LT(f.view->verticalScrollBar()->value(), after);
    EXPECT_EQ(f.Session().SelectionStop(), anchor) << "the press is now the selection's lower end";
    EXPECT_LT(f.Session().SelectionStart().item, stop - visible);
    EXPECT_EQ(f.Session().SelectionStart().item, f.view->verticalScrollBar()->value() / lh)
        << "the selection starts on the first row in view";
    SendMouse(vp, QEvent::MouseButtonRelease, QPoint(60, -10), Qt::NoButton);
}

// Drag enter, move and drop on a view's viewport as the desktop sends them; whether it took the drop.
bool DropOn(CRUXView& view, const QMimeData& data, QPoint pos, Qt::KeyboardModifiers mods) {
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(pos, offered, &data, Qt::LeftButton, mods);
    QApplication::sendEvent(view.viewport(), &enter);
    if (!enter.isAccepted()) return false;
    QDragMoveEvent move(pos, offered, &data, Qt::LeftButton, mods);
    QApplication::sendEvent(view.viewport(), &move);
    if (!move.isAccepted()) return false;
    QDropEvent drop(QPointF(pos), offered, &data, Qt::LeftButton, mods);
    QApplication::sendEvent(view.viewport(), &drop);
    return drop.isAccepted();
}

TEST(ViewDragDrop, BetweenTwoViewsTheSourceKeepsItsText) {
    struct Case {
        const char* name;
        Qt::KeyboardModifiers mods;
    };
    const Case cases[] = {{"the default move", Qt::NoModifier}, {"a copy with Ctrl", Qt::ControlModifier}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CViewFixture a({"x", "{Task", "b = 1", "}", "y"}, "a.rux");
        CViewFixture b({"first", "last"}, "b.rux");
        const std::string aBefore = a.Saved();
        a.Session().Select({1, 1}, {1, 4}); // the whole section
        std::unique_ptr<QMimeData> data(
            MakeEditorMimeData(a.Session().SelectionFragment(), a.Session().SelectionPlainText()));

        const QPoint at(20, b.view->RowRect(1).center().y()); // start of "last"
        EXPECT_TRUE(DropOn(*b.view, *data, at, c.mods));
        EXPECT_EQ(b.Lines(), (Rows{"first", "Task", "b = 1", "Task", "last"}));
        EXPECT_EQ(b.doc.Items().GetAt(1)->GetType(), kItemSectionHeader) << "the section comes over";
        EXPECT_EQ(a.Saved(), aBefore) << "a drop elsewhere deletes nothing in the source";
        EXPECT_EQ(a.Lines(), (Rows{"x", "Task", "b = 1", "Task", "y"}));

        // One undo in the target takes the whole drop back.
        QTest::keyClick(b.view.get(), Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(b.Lines(), (Rows{"first", "last"}));

        // A read-only target refuses the drag at once.
        b.doc.SetReadOnly(true);
        EXPECT_FALSE(DropOn(*b.view, *data, at, c.mods));
        EXPECT_EQ(b.Lines(), (Rows{"first", "last"}));
    }
    // Plain text from another program is dropped as lines.
    CViewFixture b({"first", "last"});
    QMimeData data;
    data.setText(QStringLiteral("p = 2\nq = 3"));
    const int w = b.view->Metrics().Advance('f');
    EXPECT_TRUE(DropOn(*b.view, data, QPoint(20 + 5 * w + 1, b.view->RowRect(0).center().y()), Qt::NoModifier));
    EXPECT_EQ(b.Lines(), (Rows{"firstp = 2", "q = 3", "last"}));
}

} // namespace
} // namespace rux
