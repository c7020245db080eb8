#include "document/item_list.h"
#include "document/section_items.h"
#include "view/qt_clipboard.h"
#include "view_fixture.h"

#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>

#include <gtest/gtest.h>

namespace rux {
namespace {

using test::CViewFixture;
using test::ProgramBytes;
using Rows = std::vector<std::string>;

// One key or a typed text.
struct Key {
    Qt::Key key = Qt::Key_unknown;
    Qt::KeyboardModifiers mods = Qt::NoModifier;
    const char* text = nullptr;
};
Key K(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    return {key, mods, nullptr};
}
Key T(const char* text) {
    return {Qt::Key_unknown, Qt::NoModifier, text};
}

void Press(CRUXView& view, const std::vector<Key>& keys) {
    for (const Key& k : keys) {
        if (k.text) {
            // Typed characters as the keyboard delivers them, code page or not.
            for (const QChar c : QString::fromUtf8(k.text)) {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
                QApplication::sendEvent(&view, &press);
            }
        } else
            QTest::keyClick(&view, k.key, k.mods);
    }
}

// The bytes a fresh program of `rows` would be saved as.
std::string SavedForm(const Rows& rows) {
    CViewFixture expected(rows);
    return expected.Saved();
}

struct EditCase {
    const char* name;
    Rows rows;
    CTextPos caret;
    std::vector<Key> keys;
    Rows expected;
    const char* position; // "Ln %d, Col %d" afterwards, or null
};

// One row per path a key takes through the view; what each edit does is the session's and is
// checked with it.
TEST(ViewEditing, TypedKeysGiveTheSavedBytes) {
    const EditCase cases[] = {
        {"auto-indent after IF",
         {"{Main", "  IF a THEN", "}"},
         {12, 1},
         {K(Qt::Key_Return), T("b=1")},
         {"{Main", "  IF a THEN", "\t\tb=1", "}"},
         "Ln 2, Col 6"},
        {"overwrite keeps the length",
         {"abc"},
         {1, 0},
         {K(Qt::Key_Insert), T("XY"), K(Qt::Key_Insert)},
         {"XYc"},
         "Ln 0, Col 3"},
        {"Backspace at column 1 joins lines",
         {"{S", "ab", "cd", "}"},
         {1, 2},
         {K(Qt::Key_Backspace)},
         {"{S", "abcd", "}"},
         "Ln 1, Col 3"},
        {"Delete at the end of a section keeps the footer",
         {"{S", "ab", "}"},
         {3, 1},
         {K(Qt::Key_Delete)},
         {"{S", "ab", "}"},
         nullptr},
        {"Tab without a selection inserts TabSize spaces",
         {"ab"},
         {2, 0},
         {K(Qt::Key_Tab)},
         {"a  b"},
         "Ln 0, Col 4"},
        {"Tab with a two-line selection indents both",
         {"a", "b", "c"},
         {1, 0},
         {K(Qt::Key_Down, Qt::ShiftModifier), K(Qt::Key_Right, Qt::ShiftModifier), K(Qt::Key_Tab)},
         {"\ta", "\tb", "c"},
         nullptr},
        {"Shift+Tab takes one level back",
         {"\t\ta", "\tb", "c"},
         {1, 0},
         {K(Qt::Key_Down, Qt::ShiftModifier), K(Qt::Key_Down, Qt::ShiftModifier),
          K(Qt::Key_Backtab, Qt::ShiftModifier)},
         {"\ta", "b", "c"},
         nullptr},
        {"undo and redo",
         {"ab"},
         {3, 0},
         {T("xy"), K(Qt::Key_Z, Qt::ControlModifier), K(Qt::Key_Z, Qt::ControlModifier),
          K(Qt::Key_Y, Qt::ControlModifier)},
         {"abx"},
         nullptr},
        {"characters outside the code page are refused",
         {""},
         {1, 0},
         {T("\xc3\xa9\xe2\x82\xac\xce\xa9!")},
         {"\xe9\x80!"},
         "Ln 0, Col 4"},
        {"Ctrl+Left and Shift+End select a word",
         {"alpha beta"},
         {11, 0},
         {K(Qt::Key_Left, Qt::ControlModifier), K(Qt::Key_End, Qt::ShiftModifier), T("B")},
         {"alpha B"},
         nullptr},
    };
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.name);
        CViewFixture f(c.rows);
        QString position;
        QObject::connect(f.view.get(), &CRUXView::positionTextChanged,
                         [&](const QString& t) { position = t; });
        f.Session().SetCaret(c.caret);
        Press(*f.view, c.keys);
        EXPECT_EQ(f.Saved(), SavedForm(c.expected));
        if (c.position) {
            EXPECT_EQ(f.view->PositionText().toStdString(), c.position);
            EXPECT_EQ(position, f.view->PositionText()) << "the last signal carries the caret's place";
        }
        f.env.Overwrite() = false;
    }
}

TEST(ViewEditing, ClickAndShiftClickSelect) {
    CViewFixture f({"alpha beta", "gamma"});
    const QRect row0 = f.view->RowRect(0), row1 = f.view->RowRect(1);
    const int w = f.view->Metrics().Advance('a');
    QTest::mouseClick(f.view->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(20 + 2 * w + 1, row0.center().y()));
    EXPECT_EQ(f.Session().Caret(), (CTextPos{3, 0}));
    QTest::mouseClick(f.view->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                      QPoint(20 + 3 * w + 1, row1.center().y()));
    EXPECT_EQ(f.Session().SelectionStart(), (CTextPos{3, 0}));
    EXPECT_EQ(f.Session().SelectionStop(), (CTextPos{4, 1}));
    EXPECT_EQ(f.view->PositionText(), QStringLiteral("Ln 1, Col 4"));
    // A double-click on a word selects it.
    QTest::mouseDClick(f.view->viewport(), Qt::LeftButton, Qt::NoModifier,
                       QPoint(20 + 7 * w, row0.center().y()));
    EXPECT_EQ(f.Session().SelectionPlainText(), "beta");
    // A double-click in the margin sets a bookmark on that row.
    QTest::mouseDClick(f.view->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5, row1.center().y()));
    EXPECT_TRUE(f.doc.Items().GetAt(1)->HasBookmark());
}

TEST(ViewClipboard, CopyPasteBetweenViewsKeepsSections) {
    CViewFixture a({"x", "{Task", "b = 1", "}", "y"});
    CViewFixture b({"first", "last"});
    a.Session().Select({1, 1}, {1, 4}); // the whole section
    QTest::keyClick(a.view.get(), Qt::Key_C, Qt::ControlModifier);

    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(data->hasFormat(kFragmentMimeType));
    ASSERT_TRUE(data->hasFormat(QStringLiteral("TVED1RUX")));
    EXPECT_TRUE(data->data(kFragmentMimeType).startsWith("$*TORVEL/RUX-V1\r\n"));
    EXPECT_EQ(data->text(), QStringLiteral("Task{\r\nb = 1\r\n} //Task\r\n"));

    b.Session().SetCaret({1, 1});
    bool enabled = false, checked = false;
    ASSERT_TRUE(b.view->UpdateCommand(CRUXView::kCmdPaste, enabled, checked));
    EXPECT_TRUE(enabled);
    QTest::keyClick(b.view.get(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(b.Lines(), (Rows{"first", "Task", "b = 1", "Task", "last"}));
    EXPECT_EQ(b.doc.Items().GetAt(1)->GetType(), kItemSectionHeader)
        << "the private format keeps the section";
    EXPECT_EQ(static_cast<const CItem*>(b.doc.Items().GetAt(2)->GetSection()), b.doc.Items().GetAt(1));

    // One undo takes the whole paste back.
    QTest::keyClick(b.view.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(b.Lines(), (Rows{"first", "last"}));

    // Plain text from another program is pasted as lines.
    QApplication::clipboard()->setText(QStringLiteral("p = 2\nq = 3"));
    b.Session().SetCaret({1, 1});
    QTest::keyClick(b.view.get(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(b.Lines(), (Rows{"first", "p = 2", "q = 3last"}));

    // A private fragment without its header line is refused; the plain text goes in instead.
    auto* bad = new QMimeData;
    bad->setData(kFragmentMimeType, ":no header\r\n");
    bad->setText(QStringLiteral("T"));
    QApplication::clipboard()->setMimeData(bad);
    b.Session().SetCaret({1, 0});
    QTest::keyClick(b.view.get(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(b.Lines()[0], "Tfirst");

    // A read-only view does not paste.
    b.doc.SetReadOnly(true);
    ASSERT_TRUE(b.view->UpdateCommand(CRUXView::kCmdPaste, enabled, checked));
    EXPECT_FALSE(enabled);
}

TEST(ViewDragDrop, MoveInsideOneViewIsOneUndoGroup) {
    CViewFixture f({"alpha", "beta", "gamma"});
    f.Session().Select({1, 0}, {6, 0}); // "alpha"
    std::unique_ptr<QMimeData> data(
        MakeEditorMimeData(f.Session().SelectionFragment(), f.Session().SelectionPlainText()));
    const QRect row2 = f.view->RowRect(2);
    const int w = f.view->Metrics().Advance('a');
    // Onto the selection itself: nothing happens.
    EXPECT_FALSE(f.view->DropData(data.get(), QPoint(20 + w, f.view->RowRect(0).center().y()), true, true));
    ASSERT_TRUE(f.view->DropData(data.get(), QPoint(20 + 5 * w + 1, row2.center().y()), true, true));
    EXPECT_EQ(f.Lines(), (Rows{"", "beta", "gammaalpha"}));
    QTest::keyClick(f.view.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(f.Lines(), (Rows{"alpha", "beta", "gamma"}));
}

TEST(ViewEditing, TwoViewsOfOneProgramEachWithItsOwnUndo) {
    std::vector<std::string> rows;
    for (int i = 0; i < 80; ++i)
        rows.push_back("v" + std::to_string(i));
    test::CViewFixture f(rows, "prog.rux", QSize(400, 120));
    CRUXView second(f.doc, f.env);
    second.resize(400, 120);
    second.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&second));
    second.GoToItem(79);
    const int lh = second.Metrics().LineHeight();

    f.Session().SetCaret({3, 2});
    QTest::keyClick(f.view.get(), Qt::Key_Return);
    EXPECT_EQ(f.Lines()[3], "");
    // The second view shows the end of the program: its rows moved down by one and stay stacked.
    for (int i = 70; i < 80; ++i)
        EXPECT_EQ(second.RowRect(i + 1).top(), second.RowRect(i).top() + lh) << i;
    EXPECT_EQ(second.Session().Layout().TopOf(80), 80 * lh);

    QTest::keyClick(&second, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(f.Lines().size(), 81u) << "the other view has nothing to undo";
    QTest::keyClick(f.view.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(f.Lines(), rows);
}

// Inserting a file is the frame's command and is checked with it; the date is the view's own.
TEST(ViewEditing, DateCommandAndReadOnlyInsertFile) {
    test::CViewFixture f({"a", "b"});
    f.Session().SetClock([] {
        std::tm t{};
        t.tm_year = 126;
        t.tm_mon = 11;
        t.tm_mday = 4;
        t.tm_hour = 12;
        t.tm_min = 5;
        t.tm_sec = 9;
        t.tm_isdst = -1;
        return std::mktime(&t);
    });
    f.Session().SetCaret({1, 0});
    EXPECT_TRUE(f.view->OnCommand(CRUXView::kCmdDateTime));
    EXPECT_EQ(f.Lines()[0], "04/12/26 12:05:09 a");

    f.doc.SetReadOnly(true);
    bool enabled = true, checked = false;
    f.view->UpdateCommand(CRUXView::kCmdInsertFile, enabled, checked);
    EXPECT_FALSE(enabled);
}

} // namespace
} // namespace rux
