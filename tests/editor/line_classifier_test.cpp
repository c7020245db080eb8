#include "editor/line_classifier.h"
#include "editor/name_set.h"

#include "document/header_item.h"
#include "document/line_item.h"
#include "document/section_items.h"
#include "editor/keyword_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rux {
namespace {

const CKeywordTable& BuiltInsOnly() {
    static const CKeywordTable table = [] {
        CKeywordTable t;
        t.AddFileText("ABS\nPRINT\n#INT\n");
        t.AddBuiltIns();
        return t;
    }();
    return table;
}

char Code(EColourClass colour) {
    switch (colour) {
    case kColourText:
        return 'T';
    case kColourKeyword:
        return 'K';
    case kColourIdentifier:
        return 'I';
    case kColourComment:
        return 'C';
    case kColourError:
        return 'E';
    default:
        return '?';
    }
}

// One letter per byte of the line, lower case where selected. Also checks that the runs tile the
// line left to right with no gap, overlap or empty run.
std::string Render(std::string_view text, const std::vector<CColourRun>& runs) {
    std::string out;
    uint32_t next = 0;
    for (const CColourRun& run : runs) {
        EXPECT_EQ(run.offset, next) << "runs out of order in \"" << text << '"';
        EXPECT_GT(run.length, 0u);
        next = run.offset + run.length;
        const char c = Code(run.colour);
        out.append(run.length, run.selected ? static_cast<char>(c - 'A' + 'a') : c);
    }
    EXPECT_EQ(next, text.size()) << "runs do not cover \"" << text << '"';
    return out;
}

std::string Classify(std::string_view text, unsigned flags, int selStart = 0, int selEnd = 0) {
    static const CNameSet identifiers = {"Speed%", "x", "Ramp", "#1.21"};
    std::vector<CColourRun> runs;
    ClassifyLine(text, selStart, selEnd, flags, &identifiers, BuiltInsOnly(), runs);
    return Render(text, runs);
}

constexpr unsigned kProgram = kClassifyKeywords;

TEST(ClassifyLine, WordsAndComments) {
    const struct {
        const char* text;
        unsigned flags;
        const char* expected;
    } cases[] = {
        {"endif", kProgram, "KKKKK"},
        {"EnDiF", kProgram, "KKKKK"},
        {"ENDIFX", kProgram, "TTTTTT"},
        {"Speed% = 10 ; IF x", kProgram, "IIIIIITTTTTTCCCCCC"},
        {"Speed% = 10 // IF x", kProgram, "IIIIIITTTTTTCCCCCCC"},
        {"speed% = x", kProgram, "TTTTTTTTTI"}, // identifiers are case-exact
        {"a = b / 2 /", kProgram, "TTTTTTTTTTT"},
        {"a = 4/", kProgram, "TTTTTT"},
        {"/", kProgram, "T"},
        {"//", kProgram, "CC"},
        {"x;;IF", kProgram, "ICCCC"},
        {"#1.21 = #INT", kProgram, "IIIIITTTKKKK"},
        {"#INT7.01 = #1.211", kProgram, "TTTTTTTTTTTTTTTTT"},
        {"$FLT Ramp", kProgram, "KKKKTIIII"},
        {"DIM A%(10)", kProgram, "KKKTTTTTTT"},
        {"x = 16#FF + 3.5", kProgram, "ITTTTTTTTTTTTTT"},
        {"\tIF x THEN", kProgram, "TKKTITKKKK"},
        {"PRINT \"a;b IF\"", kProgram, "KKKKKTTTCCCCCC"},
        {"Ramp_1 = abs(x)", kProgram, "TTTTTTTTTKKKTIT"},
        {"Ramp\xE9 = 1", kProgram, "IIIITTTTT"}, // bytes above 127 are not word characters
        {"", kProgram, ""},
        // Notes sections: everything is a comment, keywords too.
        {"IF x THEN ; y", kProgram | kClassifyNotes, "CCCCCCCCCCCCC"},
        // A build error wins over comments and notes.
        {"IF x ; y", kProgram | kClassifyError, "EEEEEEEE"},
        {"IF x ; y", kProgram | kClassifyError | kClassifyNotes, "EEEEEEEE"},
        // Not a program file: no keywords or identifiers, but comments still show.
        {"IF x ; y", 0, "TTTTTCCC"},
        {"DIM // IF", kClassifyNotes, "CCCCCCCCC"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Classify(c.text, c.flags), c.expected) << '"' << c.text << '"';
}

TEST(ClassifyLine, SelectionSplitsTheLine) {
    const struct {
        const char* text;
        int selStart, selEnd;
        const char* expected;
    } cases[] = {
        // The first two letters of a keyword selected: neither part is a keyword.
        {"ENDIF", 1, 3, "ttTTT"},
        {"ENDIF", 3, 6, "TTttt"},
        {"IF x", 1, 3, "kkTI"},
        {"DO IF", 3, 4, "KKtKK"},
        // A part that is a keyword on its own stays one.
        {"ELSEIF", 5, 7, "KKKKkk"},
        {"ELSEIF", 4, 7, "TTTttt"},
        // The comment flag set inside the selection carries on after it.
        {"a ; bc", 2, 4,
         "Ttc"
         "CCC"},
        {"a ; bc", 1, 3,
         "tt"
         "CCCC"},
        // A double slash split by the selection edge still starts a comment.
        {"a //x", 3, 4, "TTcCC"},
        {"a //x", 1, 4, "ttcCC"},
        // Selection past the end of the line, and one that began on an earlier line.
        {"IF x", 3, 100, "KKti"},
        {"IF x", -5, 2, "tTTI"},
        {"IF x", 1, 5, "kkti"},
        // Nothing selected when start and end meet: no split.
        {"ENDIF", 3, 3, "KKKKK"},
        {"ENDIF", 4, 2, "KKKKK"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Classify(c.text, kProgram, c.selStart, c.selEnd), c.expected)
            << '"' << c.text << "\" " << c.selStart << ".." << c.selEnd;
}

TEST(ClassifyLine, RunsFollowWordsAndDelimiters) {
    std::vector<CColourRun> runs;
    // "IF" is left over after the selection and is a keyword by itself.
    ClassifyLine("ENDIF x;", 2, 4, kProgram, nullptr, BuiltInsOnly(), runs);
    const std::vector<CColourRun> expected = {
        {0, 1, kColourText, false}, {1, 2, kColourText, true},  {3, 2, kColourKeyword, false},
        {5, 1, kColourText, false}, {6, 1, kColourText, false}, {7, 1, kColourComment, false},
    };
    EXPECT_EQ(runs, expected);

    // The run buffer is reused: a second call replaces, never appends.
    ClassifyLine("IF", 0, 0, kProgram, nullptr, BuiltInsOnly(), runs);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0], (CColourRun{0, 2, kColourKeyword, false}));
}

TEST(ClassifyLine, FlagsOfItems) {
    CSectionHeader notes("  notes ");
    CSectionHeader task("Background");
    CSectionHeader fb("(y%) = Notes(a%)"); // a function block named like a notes section is not one
    CLine inNotes("IF");
    inNotes.SetSection(&notes);
    CLine inTask("IF");
    inTask.SetSection(&task);
    CLine inFb("IF");
    inFb.SetSection(&fb);
    CLine loose("IF");
    CLine broken("IF");
    broken.SetMark(kMarkError);

    EXPECT_EQ(ClassifyFlagsFor(inNotes, true), kClassifyKeywords | kClassifyNotes);
    EXPECT_EQ(ClassifyFlagsFor(inTask, true), kClassifyKeywords);
    EXPECT_EQ(ClassifyFlagsFor(inFb, false), 0u);
    EXPECT_EQ(ClassifyFlagsFor(loose, false), 0u);
    EXPECT_EQ(ClassifyFlagsFor(broken, true), kClassifyKeywords | kClassifyError);

    EXPECT_EQ(FixedItemColour(CPar()), kColourReadOnly);
    EXPECT_EQ(FixedItemColour(task), kColourText);
    EXPECT_EQ(FixedItemColour(CSectionFooter("Background")), kColourText);
    EXPECT_EQ(FixedItemColour(loose), 0);
}

TEST(ClassifyLine, KeywordColouringFollowsTheExtension) {
    const struct {
        const char* name;
        bool enabled;
    } cases[] = {
        {"/p/mixer.rux", true}, {"MIXER.RUX", true},      {"a.Rux", true},
        {"notes.txt", false},   {"rux", false},           {"a.rux.bak", false},
        {"a.ruxx", false},      {"/p.rux/readme", false}, {"", false},
        {".rux", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsKeywordColouringEnabled(c.name), c.enabled) << c.name;
}

} // namespace
} // namespace rux
