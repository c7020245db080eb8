#include "editor/keyword_table.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace rux {
namespace {

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

} // namespace
} // namespace rux
