#include "editor/keyword_table.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace rux {
namespace {

TEST(KeywordTable, MissingFileLeavesBuiltInsOnly) {
    test::CTempDir dir; // holds no keyword file
    CKeywordTable table;
    table.Load(dir.Path());
    EXPECT_EQ(table.GetCount(), 23u);
    for (const char* word : {"DIM", "if", "For", "loop", "$flt", "$author", "FBbody", "step"})
        EXPECT_TRUE(table.IsKeyword(word)) << word;
    EXPECT_FALSE(table.IsKeyword("ABS")); // only in the file
    EXPECT_FALSE(table.IsKeyword(""));
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

TEST(KeywordTable, FileLinesBecomeUpperCaseWords) {
    CKeywordTable table;
    // CR LF and LF ends, a duplicate in another case, a blank line, a line without its LF.
    table.AddFileText("abs\r\nMax\nABS\n\nSqrt\r\nlast");
    table.AddBuiltIns();
    EXPECT_EQ(table.GetCount(), 23u + 5u); // ABS, MAX, "", SQRT, LAST
    for (const char* word : {"ABS", "abs", "mAx", "SQRT", "LAST", ""})
        EXPECT_TRUE(table.IsKeyword(word)) << '"' << word << '"';
    EXPECT_FALSE(table.IsKeyword("SQRT\r"));
    EXPECT_FALSE(table.IsKeyword("ABSX"));
}

TEST(KeywordTable, OnlyOneCarriageReturnIsStripped) {
    CKeywordTable table;
    table.AddFileText("X\r\r\nY\r");
    EXPECT_TRUE(table.IsKeyword("X\r"));
    EXPECT_FALSE(table.IsKeyword("X"));
    EXPECT_TRUE(table.IsKeyword("Y"));
}

TEST(KeywordTable, LongLinesAreReadInPieces) {
    const std::string first(CKeywordTable::kPieceLength, 'a');
    const std::string rest(46, 'b');
    CKeywordTable table;
    table.AddFileText(first + rest + "\nZ\n");
    EXPECT_TRUE(table.IsKeyword(first));
    EXPECT_TRUE(table.IsKeyword(rest));
    EXPECT_FALSE(table.IsKeyword(first + rest));
    EXPECT_TRUE(table.IsKeyword("z"));
    // A line of exactly one piece leaves its LF as a piece of its own: the empty word.
    CKeywordTable exact;
    exact.AddFileText(first + "\n");
    EXPECT_TRUE(exact.IsKeyword(first));
    EXPECT_TRUE(exact.IsKeyword(""));
}

TEST(KeywordTable, BuiltInsReplaceFileEntries) {
    test::CTempDir dir;
    dir.Write(std::string(CKeywordTable::kFileName), "IF\nendif\nWHILE\nDIM\nPRINT\n");
    CKeywordTable table;
    table.Load(dir.Path());
    EXPECT_EQ(table.GetCount(), 24u); // PRINT is the only word the built-ins lack
    EXPECT_EQ(table.GetKeywordIndentRole("IF"), kIndentOpen);
    EXPECT_EQ(table.GetKeywordIndentRole("ENDIF"), kIndentClose);
    EXPECT_EQ(table.GetKeywordIndentRole("WHILE"), kIndentNone);
    EXPECT_TRUE(table.IsKeyword("print"));
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

} // namespace
} // namespace rux
