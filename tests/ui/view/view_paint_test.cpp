#include "document/item_list.h"
#include "shell/setting.h"
#include "view/qt_view_metrics.h"
#include "view_fixture.h"

#include <QImage>
#include <QScrollBar>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace rux {
namespace {

using test::CViewFixture;

bool Reddish(QRgb c) {
    return qRed(c) > 150 && qGreen(c) < 90 && qBlue(c) < 90;
}

int Count(const QImage& img, QRect r, const std::function<bool(QRgb)>& pred) {
    int n = 0;
    r = r.intersected(img.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += pred(img.pixel(x, y)) ? 1 : 0;
    return n;
}

QImage Grab(CViewFixture& f) {
    QApplication::processEvents();
    return f.view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

TEST(ViewPaint, ErrorLineSelectionSectionRowAndMargin) {
    CViewFixture f(
        {"P", "{Main", "a = 1 ; note", "bad line here", "IF x THEN", "}", "{-Folded", "hidden", "}", "z"});
    // items: 0 header, 1 {Main, 2 a, 3 bad, 4 IF, 5 }, 6 {-Folded, 7 hidden, 8 }, 9 z
    f.env.Settings().SetColor(kColourError, 0x0000FF);     // pure red
    f.env.Settings().SetColor(kColourSelection, 0x804000); // dark blue: selected text turns white
    ASSERT_TRUE(f.doc.SetMark(3, kMarkError, true));
    ASSERT_TRUE(f.doc.SetMark(2, kMarkBookmark, true));
    f.Session().Select({1, 4}, {3, 4}); // "IF"
    const QImage img = Grab(f);

    const QRect errorRow = f.view->RowRect(3).adjusted(20, 0, 0, 0);
    const QRect plainRow = f.view->RowRect(2).adjusted(20, 0, 0, 0);
    EXPECT_GT(Count(img, errorRow, Reddish), 20) << "the error line is drawn in the Errors colour";
    EXPECT_EQ(Count(img, plainRow, Reddish), 0) << "a line without the mark has no error colour";

    const QColor sel(0x00, 0x40, 0x80);
    const QRect selRow = f.view->RowRect(4);
    const int charW = f.view->Metrics().Advance('I');
    const QRect selected(20, selRow.top(), 2 * charW, selRow.height());
    const QRect after(20 + 2 * charW + 1, selRow.top(), 7 * charW, selRow.height());
    auto isSel = [&](QRgb c) { return QColor(c) == sel; };
    EXPECT_GT(Count(img, selected, isSel), selected.width() * selected.height() / 2);
    EXPECT_EQ(Count(img, after, isSel), 0) << "the background stops at the selection end";
    EXPECT_GT(Count(img, selected, [](QRgb c) { return qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) > 200; }),
              0)
        << "selected text in white on the dark selection";

    // Folded members take no rows; the row after the header is the next visible item.
    EXPECT_TRUE(f.view->RowRect(7).isEmpty());
    EXPECT_TRUE(f.view->RowRect(8).isEmpty());
    EXPECT_EQ(f.view->RowRect(9).top(), f.view->RowRect(6).bottom() + 1);

    // Bookmark icon in the margin, blue; the halftone strip elsewhere.
    const QRect markRow = f.view->RowRect(2);
    EXPECT_GT(Count(img, QRect(2, markRow.top(), 16, markRow.height()),
                    [](QRgb c) { return qBlue(c) > 150 && qRed(c) < 120; }),
              20);
    const int y = f.view->RowRect(9).top() + 4;
    EXPECT_NE(img.pixel(0, y), img.pixel(1, y)) << "halftone checker";
    EXPECT_EQ(img.pixel(0, y), img.pixel(1, y + 1));
}

// Identifiers drawn like any other text need no identifier set; a colour of their own asks for it on
// the first paint, and the names of the program show in it.
TEST(ViewPaint, IdentifierColourAndTheIdentifierSet) {
    auto pureGreen = [](QRgb c) { return qGreen(c) > 200 && qRed(c) < 60 && qBlue(c) < 60; };
    const struct {
        ColorRef identifier;
        bool built, green;
    } rows[] = {{0x000000, false, false}, {0x00FF00, true, true}};
    for (const auto& r : rows) {
        CViewFixture f({"P", "{Main", "Speed% = Ref%", "}"});
        f.env.Settings().SetColor(kColourText, 0x000000);
        f.env.Settings().SetColor(kColourIdentifier, r.identifier);
        const QImage img = Grab(f);
        EXPECT_EQ(f.doc.IdentifiersBuilt(), r.built) << r.identifier;
        EXPECT_EQ(Count(img, f.view->RowRect(2).adjusted(20, 0, 0, 0), pureGreen) > 10, r.green) << r.identifier;
    }
}

TEST(ViewPaint, GlyphsSitWhereTheCaretMetricsPutThem) {
    // A long line in one colour: its last glyph must end where the caret after it stands, or
    // clicks and the caret drift away from the text along the line.
    const std::string line(70, 'W');
    CViewFixture f({line, "x"}, "prog.rux", QSize(900, 200));
    f.env.Settings().SetColor(kColourError, 0x0000FF);
    f.doc.SetMark(0, kMarkError, true);
    const QImage img = Grab(f);
    const QRect row = f.view->RowRect(0);
    int rightmost = -1;
    for (int x = 20; x < img.width(); ++x)
        if (Count(img, QRect(x, row.top(), 1, row.height()), Reddish) > 0) rightmost = x;
    const int end = 20 + f.view->Metrics().TextWidth(line);
    EXPECT_GT(rightmost, end - f.view->Metrics().Advance('W'));
    EXPECT_LE(rightmost, end + 1);
}

TEST(ViewPaint, SectionRowHoldingTheCaretIsGrey) {
    CViewFixture f({"{Main", "x", "}"});
    const int x = f.view->viewport()->width() - 5, y = f.view->RowRect(0).top() + 1;
    for (const auto& [caret, colour] : {std::pair{CTextPos{1, 0}, QColor(0xC8, 0xC8, 0xC8)},
                                        std::pair{CTextPos{1, 1}, QColor(Qt::white)}}) {
        f.Session().SetCaret(caret);
        f.view->viewport()->update();
        EXPECT_EQ(QColor(Grab(f).pixel(x, y)), colour) << "caret on item " << caret.item;
    }
}

TEST(ViewMetrics, LineHeightTabStopsAndFontSettings) {
    struct Case {
        int size;
        int tab;
    } cases[] = {{100, 2}, {60, 4}, {11, 8}, {240, 3}};
    for (const Case& c : cases) {
        CViewFixture f({"a"});
        f.env.Settings().SetFont({"courier new", c.size, 400, false});
        f.env.Settings().SetTabs(c.tab, 0);
        f.doc.UpdateAllViews(kHintSettings);
        const CQtViewMetrics& m = f.view->Metrics();
        EXPECT_GE(m.LineHeight(), 16) << c.size;
        const int space = m.Advance(' ');
        EXPECT_EQ(m.TextWidth("\t"), c.tab * space);
        EXPECT_EQ(m.TextWidth("a\t"), c.tab * space) << "a tab goes to the next stop";
        EXPECT_EQ(m.TextWidth("\tab"), c.tab * space + m.Advance('a') + m.Advance('b'));
        EXPECT_EQ(f.Session().Settings().tabSize, c.tab);
        EXPECT_EQ(f.doc.Items().GetAt(0)->GetHeight(m), m.LineHeight());
    }
}

// Runs between tabs are measured by length for a monospaced face; any face must give what adding the
// bytes' own advances gives, tabs to the next stop from the line start.
TEST(ViewMetrics, TextWidthMatchesTheSumOfAdvances) {
    // Eight-byte steps and their tails, tabs anywhere, DEL and the upper half (measured byte by byte).
    const char* texts[] = {"", "abc", "\tab", "a\tb\t\tc", "x\t", "WWW\tiii", "abcdefgh", "abcdefghijk\tz",
                           "abcdefg\x7f", "\x93quoted\x94 \xe9t\xe9", "plain text then \xe9", "\t\t\tdeep",
                           "\t\tx\t\ty",
                           // a tab as the last byte of eight, the first of the next, in a tail of one
                           "abcdefg\thijklmn", "abcdefgh\tijklmn", "abcdefghijklmno\t", "\t\t\t\t\t\t\t\t\t",
                           // indentation, then more tabs within the same eight bytes
                           "ab\tcd\tef\tgh\tij\tkl", "\tabcd\tefgh", "a\t\tbcdefghijk",
                           // the upper half in a tail, and before eight plain bytes
                           "0123456789\xe9", "\3510123456789abcdef\tx"};
    const struct {
        const char* face;
        bool monospaced;
    } faces[] = {{"courier new", true}, {"DejaVu Sans", false}};
    for (const auto& face : faces) {
        CQtViewMetrics m;
        m.SetFont(MakeViewFont({face.face, 100, 400, false}), 3);
        EXPECT_EQ(m.IsMonospaced(), face.monospaced) << face.face;
        for (const char* text : texts) {
            const std::string_view t(text);
            for (const int lineStart : {0, 20})
                for (const int x0 : {lineStart, lineStart + 7, lineStart + 2 * m.TabWidth()}) {
                    int x = x0;
                    for (const unsigned char c : t)
                        x = c == '\t' ? lineStart + ((x - lineStart) / m.TabWidth() + 1) * m.TabWidth()
                                      : x + m.Advance(c);
                    EXPECT_EQ(m.Advance(t, x0, lineStart), x)
                        << face.face << " '" << text << "' from " << x0 << ", line at " << lineStart;
                }
        }
    }
}

TEST(ViewScroll, WheelScrollsThreeLinesAndIgnoresModifiers) {
    std::vector<std::string> rows;
    for (int i = 0; i < 200; ++i)
        rows.push_back("line " + std::to_string(i));
    CViewFixture f(rows);
    const int lh = f.view->Metrics().LineHeight();
    auto wheel = [&](int delta, Qt::KeyboardModifiers mods) {
        QWheelEvent e(QPointF(100, 100), QPointF(100, 100), QPoint(), QPoint(0, delta), Qt::NoButton, mods,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(f.view->viewport(), &e);
    };
    wheel(-120, Qt::NoModifier);
    EXPECT_EQ(f.view->Metrics().ScrollY(), 3 * lh);
    wheel(-120, Qt::ControlModifier);
    wheel(-120, Qt::ShiftModifier);
    EXPECT_EQ(f.view->Metrics().ScrollY(), 3 * lh);
    wheel(120, Qt::NoModifier);
    EXPECT_EQ(f.view->Metrics().ScrollY(), 0);

    // The first painted row follows the scroll position.
    wheel(-240, Qt::NoModifier);
    EXPECT_EQ(f.view->RowRect(6).top(), 0);

    // A program shorter than the view has nothing to scroll.
    CViewFixture few({"a", "b"});
    EXPECT_EQ(few.view->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(few.view->RowRect(0).top(), 0);
}

TEST(ViewPaint, KeystrokeRepaintsOnlyItsRow) {
    std::vector<std::string> rows;
    for (int i = 0; i < 60; ++i)
        rows.push_back("x = " + std::to_string(i));
    CViewFixture f(rows);
    f.view->viewport()->update();
    QApplication::processEvents();
    EXPECT_GT(f.view->LastPaintedRows(), 10);
    f.Session().SetCaret({4, 5});
    QApplication::processEvents();
    QTest::keyClick(f.view.get(), Qt::Key_A);
    QApplication::processEvents();
    EXPECT_EQ(f.Lines()[5], "x =a 5");
    EXPECT_EQ(f.view->LastPaintedRows(), 1);
}

TEST(ViewFiles, PlainTextFileIsReadOnlyWithoutKeywords) {
    CViewFixture f(std::string("IF a ; c\r\n"), "notes.txt", QSize(400, 200));
    EXPECT_FALSE(f.view->IsKeywordColouring());
    EXPECT_TRUE(f.doc.IsReadOnly());
    const std::vector<std::string> before = f.Lines();
    QTest::keyClicks(f.view.get(), "zz");
    EXPECT_EQ(f.Lines(), before);
}

} // namespace
} // namespace rux
