#include "editor/line_classifier.h"

#include "document/header_item.h"
#include "document/line_item.h"
#include "document/section_items.h"
#include "editor/colour_class.h"
#include "editor/keyword_table.h"
#include "editor/name_set.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <optional>
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
    // PRINT is in the keyword table too: a keyword wins over an identifier.
    static const CNameSet identifiers = {"Speed%", "x", "Ramp", "#1.21", "PRINT"};
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
        {"#1.210 x0", kProgram, "TTTTTTTTT"},
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

    // Only the line is looked at: a slash at its end starts no comment whatever follows in memory.
    const std::string_view lineInBuffer = std::string_view("x//").substr(0, 2);
    ClassifyLine(lineInBuffer, 0, 0, kProgram, nullptr, BuiltInsOnly(), runs);
    EXPECT_EQ(Render(lineInBuffer, runs), "TT");

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

// The keyword file's lines, read in pieces, become upper-case words; the built-ins join them and take
// over the entries they share.
TEST(KeywordTable, FileWordsAndBuiltIns) {
    const std::string piece(CKeywordTable::kPieceLength, 'a');
    const std::string rest(46, 'b');
    const std::vector<std::string> builtIns = {"DIM", "if", "For", "loop", "$flt", "$author", "FBbody", "step"};
    struct {
        const char* name;
        std::optional<std::string> file; // none: no keyword file in the folder
        size_t count;
        std::vector<std::string> words, notWords;
    } cases[] = {
        {"no file: the built-ins only", std::nullopt, 23, builtIns, {"ABS", ""}},
        // CR LF and LF ends, a duplicate in another case, a blank line, a line without its LF.
        {"file lines", "abs\r\nMax\nABS\n\nSqrt\r\nlast", 23 + 5, {"ABS", "abs", "mAx", "SQRT", "LAST", ""},
         {"SQRT\r", "ABSX"}},
        {"only one CR is stripped", "X\r\r\nY\r", 23 + 2, {"X\r", "Y"}, {"X"}},
        {"long lines are read in pieces", piece + rest + "\nZ\n", 23 + 3, {piece, rest, "z"}, {piece + rest, ""}},
        // A line of exactly one piece leaves its LF as a piece of its own: the empty word.
        {"a line of one piece", piece + "\n", 23 + 2, {piece, ""}, {}},
        {"built-ins replace file entries", "IF\nendif\nWHILE\nDIM\nPRINT\n", 24, {"print", "IF", "while"}, {}},
    };
    for (const auto& c : cases) {
        test::CTempDir dir;
        if (c.file) dir.Write(std::string(CKeywordTable::kFileName), *c.file);
        CKeywordTable table;
        table.Load(dir.Path());
        EXPECT_EQ(table.GetCount(), c.count) << c.name;
        for (const std::string& word : c.words)
            EXPECT_TRUE(table.IsKeyword(word)) << c.name << ": " << word;
        for (const std::string& word : c.notWords)
            EXPECT_FALSE(table.IsKeyword(word)) << c.name << ": " << word;
        // The built-ins' indent roles win over the file's plain words.
        EXPECT_EQ(table.GetKeywordIndentRole("IF"), kIndentOpen) << c.name;
        EXPECT_EQ(table.GetKeywordIndentRole("ENDIF"), kIndentClose) << c.name;
        EXPECT_EQ(table.GetKeywordIndentRole("WHILE"), kIndentNone) << c.name;
    }
}

TEST(KeywordTable, IndentRoles) {
    CKeywordTable table;
    table.AddFileText("ABS\nNEXT\n");
    table.AddBuiltIns();
    const struct {
        const char* word;
        int32_t role;
    } cases[] = {
        {"DO", 1},     {"do", 1},     {"WHILE", 0}, {"IF", 1},    {"THEN", 1},    {"then", 1},
        {"ELSE", 2},   {"ElseIf", 2}, {"ENDIF", 3}, {"endif", 3}, {"LOOP", 3},    {"FOR", 1},
        {"STEP", 0},   {"$FLT", 0},   {"DIM", 0},   {"GOTO", 0},  {"ABS", 0},     {"NEXT", 0},
        {"ENDIFX", 0}, {"ELSE2", 0},  {"IF ", 0},   {"", 0},      {"unknown", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(table.GetKeywordIndentRole(c.word), c.role) << '"' << c.word << '"';
}

TEST(KeywordTable, ShippedFileCoversTheReservedWords) {
    CKeywordTable table;
    table.Load(RUX_PRODUCT_DIR);
    const char* reserved[] = {"$AUTHOR", "$V3",    "DIM",    "ABS",  "ANSIREPLY", "BCD2SEG", "CALL", "CONST",
                              "#INT",    "GETKEY", "REINIT", "WDOG", "FBBODY",    "TO",      "SQR",  "INT"};
    for (const char* word : reserved)
        EXPECT_TRUE(table.IsKeyword(word)) << word;
    EXPECT_FALSE(table.IsKeyword("")) << "the shipped file has a blank line";
    EXPECT_EQ(table.GetKeywordIndentRole("then"), kIndentOpen);
}

TEST(KeywordTable, ProcessTableComesFromTheProductDirectory) {
    // The test environment points the product directory at the build's copy of data/.
    const CKeywordTable& table = LoadKeywordTable();
    EXPECT_TRUE(table.IsKeyword("ansiwrite"));
    EXPECT_EQ(&table, &LoadKeywordTable());
}

TEST(ColourClass, SelectionContrast) {
    const struct {
        ColourRef selection;
        ColourRef text;
    } cases[] = {
        {0x00FFFF, 0x000000},                                             // yellow, sum 510
        {0x800000, 0xFFFFFF},                                             // dark blue, sum 128
        {0x000000, 0xFFFFFF}, {0xFFFFFF, 0x000000}, {0x818181, 0x000000}, // sum 387: light
        {0x808181, 0xFFFFFF},                                             // sum 386: dark
        {0xFF00FF, 0x000000},                                             // magenta, 510
        {0x0000FF, 0xFFFFFF},                                             // red, 255
    };
    for (const auto& c : cases)
        EXPECT_EQ(SelectionTextColour(c.selection), c.text) << std::hex << c.selection;
}

TEST(NameSet, LookupIsExactAndSurvivesTheQuickRejection) {
    const std::string longName(70, 'L');
    CNameSet set = {"Speed%", "S", "#1.21", longName};
    const struct {
        std::string word;
        bool found;
    } cases[] = {
        {"Speed%", true},
        {"speed%", false},
        {"S", true},
        {"Sp", false},
        {"#1.21", true},
        {"#1.2", false},
        {longName, true},
        {std::string(71, 'L'), false},
        {"", false},
        {"Speed", false},
        {std::string(63, 'L'), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(set.Contains(c.word), c.found) << c.word;

    set.Insert("");
    EXPECT_TRUE(set.Contains(""));
    set.Clear();
    EXPECT_FALSE(set.Contains("Speed%"));
    EXPECT_EQ(set.Size(), 0u);
}

} // namespace
} // namespace rux
