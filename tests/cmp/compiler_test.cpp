// Compiler messages: each error and warning class with its exact line, and programs that must
// compile clean.
#include "cmp/compile_support.h"

#include "core/build.h"
#include "core/lexer.h"
#include "core/name_table.h"
#include "document/program.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <sys/stat.h>

namespace rux::test {
namespace {

// The expected messages and, last, the summary that counts them.
std::vector<std::string> WithSummary(std::vector<std::string> lines) {
    const auto count = [&](const char* kind) {
        return std::to_string(std::count_if(lines.begin(), lines.end(),
                                            [&](const std::string& l) { return l.find(kind) != std::string::npos; }));
    };
    const std::string summary = count("): error E") + " error(s), " + count("): warning W") + " warning(s)";
    lines.push_back(summary);
    return lines;
}

struct MessageCase {
    const char* name;
    std::vector<Sec> program;
    std::vector<std::string> expected; // every line but the summary
    std::string header = "FloatingPoint=1\nDebug=1\n";
};

const MessageCase kCases[] = {
    {"unknown statement", {{"Initial", {"\tIN #18.11 #18.12"}}}, {"t.rux(2,2-4): error E001: unknown statement 'IN'"}},
    {"missing operator", {{"Initial", {"x% = 1", "x% 2", "PRINT x%"}}},
     {"t.rux(3,4-5): error E002: expected '=' after x%, found '2'"}},
    {"ENDIF without IF", {{"Initial", {"ENDIF"}}}, {"t.rux(2,1-6): error E012: ENDIF without IF"}},
    {"LOOP without DO", {{"Initial", {"x% = 1", "\tLOOP"}}}, {"t.rux(3,2-6): error E012: LOOP without DO or FOR"}},
    {"ELSE inside an open loop", {{"Initial", {"IF 1 THEN", "DO", "ELSE", "LOOP", "ENDIF"}}},
     {"t.rux(4,1-5): error E012: ELSE inside a DO loop opened in line 3 that is not closed with LOOP"}},
    {"IF without ENDIF, at the IF and at the section end", {{"Initial", {"x% = 0", "IF x% = 1 THEN", "x% = 2"}}},
     {"t.rux(3,1-3): error E013: IF without ENDIF",
      "t.rux(5,1-8): error E013: section Initial ends inside the IF block of line 3"}},
    {"FOR without LOOP", {{"Clock", {"FOR i% = 1 TO 3"}}},
     {"t.rux(2,1-4): error E013: FOR without LOOP", "t.rux(3,1-6): error E013: section Clock ends inside the FOR block of line 2"}},
    {"label not defined", {{"Background", {"\tgoto top:"}}},
     {"t.rux(2,7-10): error E007: label 'top' is not defined in section Background"}},
    {"label of another section", {{"Initial", {"top:"}}, {"Background", {"GOTO top"}}},
     {"t.rux(5,6-9): error E007: label 'top' is not defined in section Background"}},
    {"label defined twice", {{"Background", {"top:", "top:", "GOTO top"}}},
     {"t.rux(3,1-4): error E008: label 'top' is defined twice in section Background (first in line 2)"}},
    {"undeclared array", {{"Initial", {"x% = a%[1]", "PRINT x%"}}},
     {"t.rux(2,6-8): error E009: array 'a%' is not declared (DIM a%[n])"}},
    {"scalar used as an array", {{"Initial", {"a% = 1", "b% = a%[0]", "PRINT b%"}}},
     {"t.rux(3,6-8): error E010: 'a%' is not an array"}},
    {"array used as a scalar", {{"Initial", {"DIM a%[4]", "b% = a%", "PRINT b%"}}},
     {"t.rux(3,6-8): error E010: 'a%' is an array; write a%[index]"}},
    {"built-in with too few arguments", {{"Initial", {"x = MIN(1)", "PRINT x"}}},
     {"t.rux(2,5-8): error E011: MIN takes 2 argument(s), 1 given"}},
    {"built-in with too many arguments", {{"Initial", {"x% = ABS(1, 2)", "PRINT x%"}}},
     {"t.rux(2,6-9): error E011: ABS takes 1 argument(s), 2 given"}},
    {"block with the wrong inputs", {{"(o%) = _F(i%)", {"FBbody", "o% = i%"}}, {"Initial", {"x% = _F(1, 2)", "PRINT x%"}}},
     {"t.rux(6,6-8): error E011: function block _F takes 1 input(s), 2 given"}},
    {"unknown block", {{"Initial", {"x% = _G(1)"}}}, {"t.rux(2,6-8): error E014: function block '_G' is not defined"}},
    {"unknown subroutine", {{"Initial", {"CALL Jog:"}}}, {"t.rux(2,6-9): error E014: subroutine 'Jog:' is not defined"}},
    {"parameter outside 0..99", {{"Initial", {"#1.121 = 0"}}},
     {"t.rux(2,1-7): error E015: parameter 121 of #1.121 is outside 0..99"}},
    {"menu outside 0..99", {{"Initial", {"x% = #INT100.1", "PRINT x%"}}},
     {"t.rux(2,6-15): error E015: menu 100 of parameter #INT100.1 is outside 0..99"}},
    {"bit outside 0..31", {{"Initial", {"#1.2.32 = 1"}}}, {"t.rux(2,1-8): error E015: bit 32 of #1.2.32 is outside 0..31"}},
    {"task defined twice", {{"Initial", {}}, {"initial", {}}},
     {"t.rux(3,1-8): error E005: task Initial is defined twice (first in line 1)"}},
    {"task the target does not have", {{"Pos0", {}}},
     {"t.rux(1,1-5): error E006: target MERLIN has no task Pos0"}, "Type=MERLIN\nFloatingPoint=1\n"},
    {"statement outside a section", {{"", {"x% = 1"}}, {"Initial", {}}},
     {"t.rux(1,1-7): error E004: statement outside a section"}},
    // Lines between sections are found past a section, and a directive there applies after it.
    {"lines between sections",
     {{"", {"x% = 1"}}, {"Initial", {"y% = 2"}}, {"", {"z% = 3", "$DEFINE Q _Nope"}}, {"Background", {"w% = Q(1)"}}},
     {"t.rux(1,1-7): error E004: statement outside a section", "t.rux(5,1-7): error E004: statement outside a section",
      "t.rux(8,6-7): error E014: function block '_Nope' is not defined"}},
    {"unknown directive", {{"", {"$FOO 1"}}}, {"t.rux(1,1-5): error E003: unknown directive $FOO"}},
    {"real in a fixed-point program", {{"Initial", {"x = 1", "PRINT x"}}},
     {"t.rux(2,1-2): error E016: real value 'x' in a fixed-point program (FloatingPoint is 0)"}, "FloatingPoint=0\n"},
    {"real literal in a fixed-point program", {{"Initial", {"x% = 1.5", "PRINT x%"}}},
     {"t.rux(2,6-9): error E016: real value '1.5' in a fixed-point program (FloatingPoint is 0)"}, "FloatingPoint=0\n"},
    {"block calling itself through another",
     {{"(o%) = _A(i%)", {"FBbody", "o% = _B(i%)"}}, {"(o%) = _B(i%)", {"FBbody", "o% = _A(i%)"}}},
     {"t.rux(1,1-14): error E017: function block _A calls itself (_A -> _B -> _A)"}},
    {"bad number", {{"Initial", {"x% = 12ab", "PRINT x%"}}}, {"t.rux(2,6-10): error E018: '12ab' is not a valid number"}},
    // The lexer takes 2147483648 as an integer only so that -2147483648 can be written.
    {"integer beyond 2147483647",
     {{"Initial", {"x% = 2147483648", "CONST K% = 2147483648", "y% = -2147483648 / 2 + 2147483647", "PRINT y%"}}},
     {"t.rux(2,6-16): error E018: '2147483648' is not a valid number",
      "t.rux(3,12-22): error E018: '2147483648' is not a valid number"}},
    {"unknown operator", {{"Initial", {"x% = 1 & 2", "PRINT x%"}}}, {"t.rux(2,8-9): error E002: unknown operator '&'"}},
    {"too many block inputs", {{"(o%) = _F(a%, b%, c%, d%, e%)", {"FBbody", "o% = a%"}}},
     {"t.rux(1,8-10): error E019: function block _F has 5 inputs; target HOBBY allows 4"}, "Type=HOBBY\nFloatingPoint=1\n"},
    {"library with a task", {{"Initial", {}}},
     {"t.rux(1,1-8): error E020: a library program holds only function blocks; section Initial is not one"},
     "Library=mylib\nFloatingPoint=1\n"},
    {"EXIT outside a loop", {{"Initial", {"IF 1 THEN", "EXIT", "ENDIF"}}},
     {"t.rux(3,1-5): error E021: EXIT outside a loop"}},
    {"assigning a constant", {{"Initial", {"CONST LIMIT_HI% = 5", "LIMIT_HI% = 6"}}},
     {"t.rux(3,1-10): error E022: 'LIMIT_HI%' is a constant and cannot be assigned"}},
    {"statement before FBbody", {{"(o%) = _F(i%)", {"o% = 1", "FBbody", "o% = i%"}}},
     {"t.rux(2,1-3): error E026: only DIM and CONST belong before FBbody in function block _F"}},
    {"read but never written, written but never read", {{"Initial", {"x% = y%"}}},
     {"t.rux(2,1-3): warning W002: variable 'x%' is written but never read",
      "t.rux(2,6-8): warning W001: variable 'y%' is read but never written"}},
    {"block input never read, output never written", {{"(o%, p%) = _F(i%, j%)", {"FBbody", "o% = i%"}}},
     {"t.rux(1,6-8): warning W001: variable 'p%' is read but never written in function block _F",
      "t.rux(1,19-21): warning W002: variable 'j%' is written but never read in function block _F"}},
    {"names that differ only in case", {{"Initial", {"Count% = 1", "count% = Count% + 1", "PRINT count%"}}},
     {"t.rux(3,1-7): warning W003: 'count%' differs only in case from 'Count%'"}},
    {"unreachable line after GOTO", {{"Background", {"top:", "x% = x% + 1", "GOTO top", "x% = 0"}}},
     {"t.rux(5,1-7): warning W004: line is never reached (it follows the GOTO in line 4)"}},
    {"section that never runs", {{"Helper", {"x% = 1"}}},
     {"t.rux(1,1-7): warning W005: section Helper is not a task of target KESTREL and never runs"}},
    {"one error per line, every line reported", {{"Initial", {"ENDIF", "y% = ", "LOOP", "x% = (1"}}},
     {"t.rux(2,1-6): error E012: ENDIF without IF", "t.rux(3,6-7): error E002: expected a value, found the end of the line",
      "t.rux(4,1-5): error E012: LOOP without DO or FOR", "t.rux(5,8-9): error E002: expected ')' to close the bracket, found the end of the line"}},
    {"alias column is the alias's", {{"Alias", {"$DEFINE SPEED #1.121"}}, {"Initial", {"\tSPEED = 5"}}},
     {"t.rux(5,2-7): error E015: parameter 121 of #1.121 is outside 0..99"}},
    {"comment hides the rest of a PRINT", {{"Initial", {"x% = 1", "PRINT \"a;b\", x%"}}},
     {"t.rux(3,7-9): error E002: the text \"a is not closed (a ';' or '//' inside quotes starts a comment)"}},
};

class CompilerMessages : public ::testing::TestWithParam<MessageCase> {};

TEST_P(CompilerMessages, ExactLines) {
    const MessageCase& c = GetParam();
    EXPECT_EQ(MessageLines(CompileSections(c.program, c.header)), WithSummary(c.expected)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Classes, CompilerMessages, ::testing::ValuesIn(kCases), CaseName);


// Referenced libraries: name and text; an empty text is a library missing from the directory.
using LibraryTexts = std::vector<std::pair<std::string, std::string>>;

cmp::Result CompileWithLibraries(const std::vector<Sec>& sections, const LibraryTexts& libs) {
    CProgram program;
    cmp::ProgramFromText(ProgramText(sections), program);
    cmp::Options o = cmp::OptionsFor(program, RUX_SOURCE_DIR "/data");
    o.fileName = "t.rux";
    o.libraries.clear();
    for (const auto& [name, text] : libs) {
        if (text.empty()) {
            cmp::LibraryItems missing;
            missing.name = name;
            o.libraries.push_back(std::move(missing));
        } else {
            o.libraries.push_back(cmp::LibraryFromText(name, text));
        }
    }
    return cmp::Compile(cmp::ItemsOf(program), o);
}

const char* const kLibA =
    "; RUX function block library A\n"
    "(o%) = _Twice(i%){\n\tFBbody\n\to% = i% * 2\n\tunused% = 1\n} //(o%) = _Twice(i%)\n"
    "Initial{\n\tx% = 1\n} //Initial\n";
const char* const kLibBad = "(o%) = _Bad(i%){\nFBbody\no% = i%\nFOO 3\n} //(o%) = _Bad(i%)\n";

struct LibraryCase {
    const char* name;
    LibraryTexts libs;
    std::vector<Sec> program;
    std::vector<std::string> expected;
};

const LibraryCase kLibraryCases[] = {
    {"a library block is called like the program's own (its warnings and tasks stay in the library)",
     {{"A", kLibA}}, {{"Initial", {"x% = _Twice(4)", "PRINT x%"}}}, {}},
    {"unknown block names the libraries searched and the missing ones",
     {{"A", kLibA}, {"B", ""}}, {{"Initial", {"x% = _G(1)"}}},
     {"t.rux(2,6-8): error E014: function block '_G' is not defined in the program or its libraries (A, B); "
      "not in the library directory: B"}},
    {"a block of a missing library", {{"B", ""}}, {{"Initial", {"\tx% = _Twice(1)", "PRINT x%"}}},
     {"t.rux(2,7-13): error E014: function block '_Twice' is not defined in the program or its libraries (B); "
      "not in the library directory: B"}},
    {"wrong inputs to a library block", {{"A", kLibA}}, {{"Initial", {"x% = _Twice(1, 2)", "PRINT x%"}}},
     {"t.rux(2,6-12): error E011: function block _Twice takes 1 input(s), 2 given"}},
    {"an error inside a library stands at the header and names library and block", {{"Bad", kLibBad}},
     {{"Initial", {"x% = 1", "PRINT x%"}}},
     {"t.rux(0,1-2): error E001: library Bad, function block _Bad: unknown statement 'FOO'"}},
    {"without libraries a block is simply undefined", {}, {{"Initial", {"x% = _Twice(1)"}}},
     {"t.rux(2,6-12): error E014: function block '_Twice' is not defined"}},
    {"the program's own block hides the library's", {{"A", kLibA}},
     {{"(o%) = _Twice(i%)", {"FBbody", "o% = i% + i%"}}, {"Initial", {"x% = _Twice(4)", "PRINT x%"}}}, {}},
};

class LibraryCalls : public ::testing::TestWithParam<LibraryCase> {};

TEST_P(LibraryCalls, ExactLines) {
    const LibraryCase& c = GetParam();
    EXPECT_EQ(MessageLines(CompileWithLibraries(c.program, c.libs)), WithSummary(c.expected)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Compiler, LibraryCalls, ::testing::ValuesIn(kLibraryCases));

// Only a regular file is a library: a folder or a FIFO where NAME.lib should be counts as missing and
// is never read (a FIFO would block the build).
TEST(LibraryCalls, OnlyARegularFileIsALibrary) {
    CTempDir data;
    data.Write("Libs/Real/Real.lib", kLibA);
    std::filesystem::create_directories(data.File("Libs/Folded/Folded.lib"));
    std::filesystem::create_directories(data.File("Libs/Piped"));
    ASSERT_EQ(::mkfifo(data.File("Libs/Piped/Piped.lib").c_str(), 0600), 0);
    CProgram program;
    cmp::ProgramFromText(ProgramText({{"Initial", {"x% = 1"}}}, "RefLibs=Piped;Folded;Real\n"), program);
    const cmp::Options o = cmp::OptionsFor(program, data.Path());
    std::vector<std::pair<std::string, bool>> found;
    for (const cmp::LibraryItems& lib : o.libraries) found.emplace_back(lib.name, lib.present);
    EXPECT_EQ(found, (std::vector<std::pair<std::string, bool>>{{"Real", true}, {"Folded", false}, {"Piped", false}}));
}

TEST(LibraryCalls, LibraryCodeHasNoLinesOfTheProgram) {
    const cmp::Result r = CompileWithLibraries({{"Initial", {"x% = _Twice(4)", "PRINT x%"}}}, {{"A", kLibA}});
    ASSERT_EQ(r.errors, 0);
    const int programItems = FirstLine({{"Initial", {"x% = _Twice(4)", "PRINT x%"}}}, 0) + 3;
    for (const image::LineEntry& l : r.image.lines) EXPECT_LT(static_cast<int>(l.item), programItems);
    bool sawBlock = false;
    for (const image::BlockEntry& b : r.image.blocks) sawBlock = sawBlock || b.name == "_Twice";
    EXPECT_TRUE(sawBlock);
}

// Each call site's instance is in the symbol file, with the block's inputs, outputs and variables,
// at the cells the code uses (the frame of _Acc: i%, o%, Sum%).
TEST(SymbolFile, BlockInstancesPerCallSite) {
    const cmp::Result r = CompileSections(
        {{"(o%) = _Acc(i%)", {"DIM Hist%[2]", "FBbody", "Sum% = Sum% + i%", "Hist%[0] = Sum%", "o% = Hist%[0]"}},
         {"(o%) = _Outer(i%)", {"FBbody", "o% = _Acc(i%)"}},
         {"Initial", {"a% = _Acc(1)", "b% = _Outer(2)", "c% = _Acc(3)", "PRINT a%, b%, c%"}}});
    ASSERT_EQ(r.errors, 0) << ::testing::PrintToString(MessageLines(r));
    EXPECT_EQ(cmp::SymbolFileText(r.image), "a% 0 3 0\n"
                                            "b% 1 3 0\n"
                                            "c% 2 3 0\n"
                                            "_Acc.1.i% 3 3 0\n"
                                            "_Acc.1.o% 4 3 0\n"
                                            "_Acc.1.Hist% 5 3 0 2\n"
                                            "_Acc.1.Sum% 7 3 0\n"
                                            "_Outer.1.i% 8 3 0\n"
                                            "_Outer.1.o% 9 3 0\n"
                                            "_Outer.1._Acc.1.i% 10 3 0\n"
                                            "_Outer.1._Acc.1.o% 11 3 0\n"
                                            "_Outer.1._Acc.1.Hist% 12 3 0 2\n"
                                            "_Outer.1._Acc.1.Sum% 14 3 0\n"
                                            "_Acc.2.i% 15 3 0\n"
                                            "_Acc.2.o% 16 3 0\n"
                                            "_Acc.2.Hist% 17 3 0 2\n"
                                            "_Acc.2.Sum% 19 3 0\n");
}

TEST(NameTable, NamesThatShareBytesStayApart) {
    // Lengths around the 4-, 8- and 16-byte words a key is packed into, case, and long names that
    // differ only past the 16th byte; each is looked up through a view into a longer text, so a
    // key that read past the name's end would miss.
    const std::string names[] = {"a", "ab", "abc", "abcd", "abcde", "abcdefg", "abcdefgh", "abcdefghi",
                                 "abcdefghijklmno", "abcdefghijklmnop", "abcdefghijklmnopq", "abcdefghijklmnopr",
                                 "abcdefghijklmnopqrstuvwxyz1", "abcdefghijklmnopqrstuvwxyz2", "Abc", "abC", "b%"};
    cmp::NameTable table;
    for (std::size_t i = 0; i < std::size(names); ++i) table.set(names[i], static_cast<int>(i));
    for (int k = 0; k < 300; ++k) table.set("Zone" + std::to_string(k) + "%", 1000 + k); // grows several times
    for (std::size_t i = 0; i < std::size(names); ++i) {
        const std::string longer = names[i] + "xyz%[";
        EXPECT_EQ(table.find(std::string_view(longer).substr(0, names[i].size())), static_cast<int>(i)) << names[i];
    }
    for (int k = 0; k < 300; ++k) EXPECT_EQ(table.find("Zone" + std::to_string(k) + "%"), 1000 + k) << k;
    for (const char* absent : {"", "abcdef", "abcdefghijklmnopqs", "abcdefghijklmnopqrstuvwxyz3", "ABC", "Zone300%", "b"})
        EXPECT_EQ(table.find(absent), -1) << absent;
    table.set("abcdefghijklmnopr", 77);
    EXPECT_EQ(table.find("abcdefghijklmnopr"), 77);
    EXPECT_EQ(table.find("abcdefghijklmnopq"), 10);
    EXPECT_EQ(table.size(), std::size(names) + 300);
}

// Comments start at the first ';' or "//", wherever it falls in the line.
TEST(Lexer, StripCommentAtEveryPosition) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"x% = 1", "x% = 1"},
        {"x% = 1 ; set", "x% = 1 "},
        {"; all comment", ""},
        {"y = a / b / c + d / e", "y = a / b / c + d / e"}, // a single slash divides
        {"y = a / b // half", "y = a / b "},
        {"1234567;", "1234567"},            // the eighth character
        {"12345678;", "12345678"},          // the ninth
        {"1234567/", "1234567/"},           // a slash at the very end
        {"1234567//x", "1234567"},          // a comment that straddles eight characters
        {"PRINT \"a;b\"", "PRINT \"a"},     // even inside quotes
        {"abcdefghijklmnopqrstuvwxyz0123456789 // z", "abcdefghijklmnopqrstuvwxyz0123456789 "},
    };
    for (const auto& [line, code] : cases) EXPECT_EQ(cmp::StripComment(line), code) << line;
}

// Splitting a line with its comment gives exactly the tokens of the line without it: the same
// kinds, texts, columns and values, and the end of the line where the comment starts.
TEST(Lexer, TokeniseLineMatchesTokenisingTheStrippedLine) {
    const char* const lines[] = {
        "",
        "   ",
        "x% = 1 ; set",
        "; all comment",
        "y = a / b // half",
        "y = a/b/c",
        "1234567//x",
        "PRINT \"a;b\", x%",          // the comment cuts the text: an unclosed text
        "PRINT \"a//b\"",
        "PRINT \"open",
        "PRINT \"ok\" ; \"not\"",
        "IF x% <= 2 AND y <> 3 THEN z = 2e-3 * 1.5E+2 ; c",
        "n% = 16#FF + 0x1F + 2#101 - 9# ; radix",
        "q = 12e-//x",
        "r = 5e;x",
        "(a%, b%) = _Step(#1.21, #INT7.01) // block",
        "x% = 3 @ 4 ! ; bad characters",
        "\tLevel = _Lag(FLOAT(Zone%[1]), 4)",
    };
    cmp::TokenList fused;
    for (const char* line : lines) {
        const std::vector<cmp::Token> expected = cmp::Tokenise(cmp::StripComment(line));
        cmp::TokeniseLine(line, fused);
        ASSERT_EQ(fused.size(), expected.size()) << line;
        for (std::size_t k = 0; k < fused.size(); ++k) {
            const cmp::Token &a = fused[k], &b = expected[k];
            EXPECT_EQ(a.kind, b.kind) << line << " token " << k;
            EXPECT_EQ(a.text, b.text) << line << " token " << k;
            EXPECT_EQ(a.start, b.start) << line << " token " << k;
            EXPECT_EQ(a.end, b.end) << line << " token " << k;
            EXPECT_EQ(a.op, b.op) << line << " token " << k;
            if (a.kind == cmp::Tok::Int) {
                EXPECT_EQ(a.ival, b.ival) << line << " token " << k;
            }
            if (a.kind == cmp::Tok::Real) {
                EXPECT_EQ(std::memcmp(&a.rval, &b.rval, sizeof a.rval), 0) << line << " token " << k;
            }
        }
    }
}

// A word is ASCII letters, digits and % . _ $ #: every byte value ends a word, or does not, at
// every place in a word long enough to be scanned in wide steps, and in the last few characters.
TEST(Lexer, EveryByteEndsAWordOrContinuesItAtEveryColumn) {
    const auto continues = [](int b) {
        return (b >= '0' && b <= '9') || (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || b == '%' || b == '.' ||
               b == '_' || b == '$' || b == '#';
    };
    cmp::TokenList fused;
    for (int b = 1; b < 256; ++b) {
        for (std::size_t at = 1; at <= 40; ++at) {
            for (std::size_t tail : {std::size_t{0}, std::size_t{3}, std::size_t{20}}) {
                const std::string line = "A" + std::string(at - 1, 'z') + static_cast<char>(b) + std::string(tail, 'y');
                const std::size_t wordEnd = continues(b) ? line.size() : at;
                cmp::TokeniseLine(line, fused);
                ASSERT_GE(fused.size(), 2u);
                ASSERT_EQ(fused[0].kind, cmp::Tok::Word) << b << " at " << at;
                ASSERT_EQ(fused[0].text.size(), wordEnd) << "byte " << b << " at " << at << " before " << tail;
                ASSERT_EQ(fused[0].end, static_cast<int>(wordEnd) + 1) << "byte " << b << " at " << at;
                ASSERT_EQ(cmp::Tokenise(line)[0].text.size(), wordEnd) << "byte " << b << " at " << at;
            }
        }
    }
}

// A word the lexer calls plain is compiled as a variable without further look-ups: no keyword or
// built-in in any spelling, no parameter and no block or directive name may be plain.
TEST(Lexer, ReservedWordsParametersAndBlockNamesAreNeverPlain) {
    std::vector<std::string> notPlain = {"#1.21", "#INT1.21", "#8.03.2", "#Ptr%", "B2#1.21", "b2#7.1", "B2#12.3.4", "_Ramp", "$FLT", ".5x", "%x"};
    for (const std::string_view w : cmp::kKeywords) notPlain.emplace_back(w);
    for (const cmp::Builtinfo& f : cmp::kFunctions) notPlain.emplace_back(f.name);
    for (std::size_t k = 0, n = notPlain.size(); k < n; ++k) {
        std::string lower = notPlain[k], mixed = notPlain[k];
        for (std::size_t i = 0; i < lower.size(); ++i) {
            lower[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(lower[i])));
            if (i % 2) mixed[i] = lower[i];
        }
        notPlain.push_back(lower);
        notPlain.push_back(mixed);
    }
    cmp::TokenList toks;
    for (const std::string& w : notPlain) {
        const std::string line = "x = " + w + " + 1"; // the tokens are views of it
        cmp::TokeniseLine(line, toks);
        ASSERT_EQ(toks[2].text, w);
        EXPECT_FALSE(toks[2].plain) << w;
    }
    for (const char* w : {"Count7%", "Speed", "x", "Level12", "zone%", "Absent", "LIMITS", "Print%", "IFxy"}) {
        const std::string line = std::string("x = ") + w;
        cmp::TokeniseLine(line, toks);
        EXPECT_TRUE(toks[2].plain) << w;
    }
}

// Integer literals: the value, where the token ends, and the largest magnitude an integer may have
// (2147483648 is allowed so that -2147483648 can be written).
TEST(Lexer, IntegerLiterals) {
    struct Case {
        const char* line;
        cmp::Tok kind;
        int64_t value;
        int end; // column after the first token
    };
    const Case cases[] = {
        {"0", cmp::Tok::Int, 0, 2},
        {"7)", cmp::Tok::Int, 7, 2},
        {"123456789+", cmp::Tok::Int, 123456789, 10},
        {"1234567890", cmp::Tok::Int, 1234567890, 11},
        {"2147483647 ", cmp::Tok::Int, 2147483647, 11},
        {"2147483648", cmp::Tok::Int, 2147483648, 11},
        {"2147483649", cmp::Tok::Bad, 0, 11},
        {"99999999999999999999999,1", cmp::Tok::Bad, 0, 24},
        {"12ab", cmp::Tok::Bad, 0, 5},
        {"12%", cmp::Tok::Bad, 0, 4},
        {"16#FF+1", cmp::Tok::Int, 255, 6},
        {"0x10;", cmp::Tok::Int, 16, 5},
        {"1e3", cmp::Tok::Real, 0, 4},
        {"2.5*x", cmp::Tok::Real, 0, 4},
        {"1.", cmp::Tok::Real, 0, 3},
        {"1.5x", cmp::Tok::Bad, 0, 5},
        {"1.2.3", cmp::Tok::Bad, 0, 6},
    };
    cmp::TokenList toks;
    for (const Case& c : cases) {
        cmp::TokeniseLine(c.line, toks);
        EXPECT_EQ(toks[0].kind, c.kind) << c.line;
        EXPECT_EQ(toks[0].start, 1) << c.line;
        EXPECT_EQ(toks[0].end, c.end) << c.line;
        if (c.kind == cmp::Tok::Int) {
            EXPECT_EQ(toks[0].ival, c.value) << c.line;
        }
    }
}

// A real literal has exactly the value strtod gives it, to the last bit, whether it is read by the
// quick exact route or not.
TEST(Lexer, RealLiteralsAreCorrectlyRounded) {
    const char* const literals[] = {
        "0.1", "0.3", "0.7", "2.675", "1500.0", "0.5", "3.14159265358979", "123456789012345.678",
        "9007199254740991.0", "9007199254740993.0", "1e22", "1e23", "4.35e-22", "1.5e-23", "2.e5",
        "0.000001", "1E+05", "7e-1", "1.7976931348623157e308", "4.9e-324", "0.0", "00012.50",
        "1.999999999", "1.9999999999", "99999999.9999999", "12345678.12345678", "0.123456789", "4.",
    };
    for (const char* text : literals) {
        const std::vector<cmp::Token> toks = cmp::Tokenise(text);
        ASSERT_EQ(toks[0].kind, cmp::Tok::Real) << text;
        const double expected = std::strtod(text, nullptr);
        EXPECT_EQ(std::memcmp(&toks[0].rval, &expected, sizeof expected), 0)
            << text << ": " << toks[0].rval << " instead of " << expected;
    }
}

TEST(CompilerLimits, AtMostOneHundredErrorsAndNothingAfterThem) {
    std::vector<std::string> lines(150, "ENDIF");
    lines.insert(lines.begin() + 50, "GOTO top"); // its E007 is among the first hundred
    const cmp::Result r =
        CompileSections({{"Initial", lines}, {"Helper", {"x% = 1"}}, {"Background", {"ENDIF", "ENDIF"}}});
    ASSERT_EQ(r.messages.size(), 100u);
    EXPECT_EQ(r.errors, 100);
    EXPECT_EQ(r.warnings, 0); // W005 of Helper comes after the limit
    EXPECT_EQ(r.messages[50].text, "label 'top' is not defined in section Initial");
    EXPECT_EQ(r.messages.back().item, 101); // lines 2..101
    EXPECT_EQ(MessageLines(r).back(), "100 error(s), 0 warning(s)");
    // Background stands after a hundred errors: its code is not compiled, its errors not counted.
    EXPECT_EQ(r.errorsFound, 151);
    EXPECT_TRUE(r.image.code.empty());
}

TEST(CompilerLimits, RecursionThroughABlockPastTheLimitIsStillReported) {
    std::vector<std::string> lines(120, "ENDIF");
    const cmp::Result r = CompileSections({{"(o%) = _A(i%)", {"FBbody", "o% = _B(i%)"}},
                                           {"Initial", lines},
                                           {"(o%) = _B(i%)", {"FBbody", "ENDIF", "o% = _A(i%)"}}});
    ASSERT_EQ(r.messages.size(), 100u);
    EXPECT_EQ(cmp::FormatMessage("t.rux", r.messages[0]),
              "t.rux(1,1-14): error E017: function block _A calls itself (_A -> _B -> _A)");
    EXPECT_EQ(r.errorsFound, 121); // _B's own ENDIF lies past the limit and is not looked at
}

// The compiler makes room for a line's code before compiling it, 128 bytes and 32 per token:
// the lines with the most code for their tokens stay within it (a line beyond it would write past
// the code buffer).
TEST(CompilerLimits, LongestCodePerTokenFitsTheRoomOfALine) {
    struct Case {
        std::string line;
        std::vector<std::string> before, after; // inside the FOR loop, around the line
    };
    const std::vector<Case> heavy = {
        {"(o1%, o2%, o3%, o4, o5%, o6, o7%, o8) = _Eight(1, 2.5, i%, r)", {}, {}},
        {"(a%[i%], a%[1], a%[2], a%[i% + 1], #1.2, B2#3.4.5, #p%, r) = _Eight(#1.2, #INT3.4, #5.6.7, B2#8.9.1)", {}, {}},
        {"r = LIMIT(MIN(MAX(i%, 1.5), LIMIT(i%, 0.5, MIN(i%, MAX(2.5, i%)))), MAX(1, 2.5), MIN(3, 4.5))", {}, {}},
        {"r = MIN(MIN(i%, 1.5), MAX(LIMIT(i%, 1.5, 2), 2.5)) + AVERAGE(a%, 2) + FILTER(i%, 2)", {}, {}},
        {"r = 1.5 + 2.5 * 3.5 - 4.5 / 5.5 + 6.5 < 7.5 OR 8.5 >= i% AND 9.5 <> 0.25", {}, {}},
        {"B2#1.2.3 = #4.5.6 AND B2#7.8.9 OR #1.2.3 OR B2#1.2.4", {}, {}},
        {"#p% = #p% + #p% * #q% - #p%", {}, {}},
        {"ELSEIF #1.2.3 AND #1.2.4 OR i% < r OR 1.5 >= 2.5 THEN", {"IF i% = 1 THEN", "r = 1", "ELSEIF r = 2 THEN", "r = 2"},
         {"r = 3", "ELSE", "r = 4", "ENDIF"}},
        {"IF #1.2.3 AND #1.2.4 OR i% < r OR i% >= 2.5 THEN a%[i%] = -a%[-i%] * -(-r)", {}, {}},
        {"FOR r = i% TO 2 STEP 0.5", {}, {"LOOP"}},
        {"LOOP", {"FOR r = 1.5 TO 2.5 STEP 0.5"}, {}},
        {"PRINT \"a\", 1.5, \"b\", r, i% = 2, #1.2, #p%", {}, {}},
    };
    const Sec block{"(o1%, o2%, o3%, o4, o5%, o6, o7%, o8) = _Eight(w%, x, y%, z)",
                    {"FBbody", "o1% = w%", "o2% = y%", "o3% = w%", "o4 = x", "o5% = y%", "o6 = z", "o7% = w%", "o8 = z"}};
    for (const Case& c : heavy) {
        std::vector<std::string> lines = {"DIM a%[4]", "i% = 1", "r = 1", "p% = 1", "q% = 2", "FOR i% = 1 TO 2"};
        lines.insert(lines.end(), c.before.begin(), c.before.end());
        const int item = FirstLine({block, {"Initial", {}}}, 1) + static_cast<int>(lines.size());
        lines.push_back(c.line);
        lines.insert(lines.end(), c.after.begin(), c.after.end());
        lines.push_back("LOOP");
        const cmp::Result r = CompileSections({block, {"Initial", lines}});
        ASSERT_EQ(r.errors, 0) << c.line << "\n" << MessageLines(r)[0];
        std::size_t k = 0;
        while (k < r.image.lines.size() && static_cast<int>(r.image.lines[k].item) != item) ++k;
        ASSERT_LT(k + 1, r.image.lines.size()) << c.line;
        cmp::TokenList toks;
        cmp::TokeniseLine(c.line, toks);
        const uint32_t code = r.image.lines[k + 1].offset - r.image.lines[k].offset;
        EXPECT_LE(code, 128 + 32 * toks.size()) << c.line;
    }
}

TEST(CompilerClean, ExamplesHaveNoErrors) {
    for (const char* name : {"conveyor_line.rux"}) {
        const std::string text = ReadFileBytes(std::string(RUX_SOURCE_DIR) + "/examples/" + name);
        ASSERT_FALSE(text.empty()) << name;
        const cmp::Result r = CompileText(text, name);
        EXPECT_EQ(r.errors, 0) << name << ":\n" << ::testing::PrintToString(MessageLines(r, name));
        for (const cmp::Message& m : r.messages) EXPECT_EQ(m.code, "W006") << cmp::FormatMessage(name, m);
    }
}

// A diagram saved without a title is named as the editor shows it: "Diagram N" with the lowest
// number no diagram of the program uses (any case), given out in item order.
TEST(CompilerDiagrams, UntitledDiagramsAreNamedAsTheEditorShowsThem) {
    const std::string untitled = "#info=Diagram\n#info=FBD\n#endinfo\n#endinfo\n";
    auto titled = [](const std::string& title) { return "#info=Diagram\nDiagTitle=" + title + "\n#info=FBD\n#endinfo\n#endinfo\n"; };
    std::string text = ProgramText({});
    text += untitled;                                                   // item 1
    text += "#info=Section\nName=Initial\nState=open\n#endinfo\n";     // item 2
    text += untitled + titled("diagram 1") + untitled + titled("Diagram 3") + untitled; // items 3..7
    text += ":x% = 1\n:PRINT x%\n";                                       // items 8, 9
    text += "#info=EndSection\nName=Initial\n#endinfo\n";
    const cmp::Result r = CompileText(text);
    EXPECT_EQ(MessageLines(r), (std::vector<std::string>{
                                   "t.rux(1,1-2): warning W006: diagram 'Diagram 2' is not executed (it stands outside any section)",
                                   "t.rux(3,1-2): warning W006: diagram 'Diagram 4' is not executed (diagrams are not compiled yet)",
                                   "t.rux(4,1-2): warning W006: diagram 'diagram 1' is not executed (diagrams are not compiled yet)",
                                   "t.rux(5,1-2): warning W006: diagram 'Diagram 5' is not executed (diagrams are not compiled yet)",
                                   "t.rux(6,1-2): warning W006: diagram 'Diagram 3' is not executed (diagrams are not compiled yet)",
                                   "t.rux(7,1-2): warning W006: diagram 'Diagram 6' is not executed (diagrams are not compiled yet)",
                                   "0 error(s), 6 warning(s)"}));
}

// One program with every kind of statement: no message at all.
// A program with every statement kind, which compiles without a message.
std::vector<Sec> EveryStatementProgram() {
    return {
        {"", {"$FLT double", "$DEFINE SPEED #1.21"}},
        {"Alias", {"$DEFINE ACCEL #2.11"}},
        {"(Out%, Done%) = _Step(In%, Limit%)", {"DIM Hist%[4]", "CONST K% = 2", "FBbody", "Hist%[0] = In% + Hist%[1]",
                                                "Out% = LIMIT(In% * K%, -Limit%, Limit%)", "Done% = Out% = In%"}},
        {"Jog:", {"#6.30 = 1", "Speed = SPEED"}},
        {"Initial", {"DIM Zone%[8]", "DIM Level[3]", "CONST N% = 8", "Count% = 0", "Ptr% = 121",
                     "FOR i% = 0 TO N% - 1 STEP 1", "Zone%[i%] = i% * 2", "IF i% = 5 THEN EXIT", "LOOP",
                     "FOR r = 1.5 TO 0 STEP -0.5", "Level[0] = Level[0] + r", "LOOP", "#Ptr% = 10", "ACCEL = 5000",
                     "#INT71.10 = 8", "#8.03.2 = 1"}},
        {"Background", {"top:", "IF Count% > 3 THEN", "Count% = 0", "ELSEIF Count% < 0 THEN", "Count% = 1", "ELSE",
                        "Count% = Count% + 1", "ENDIF", "DO WHILE Count% > 100 AND Zone%[0] = 0", "WDOG", "LOOP",
                        "DO", "Count% = Count% - 1", "IF Count% <= 0 THEN EXIT", "LOOP", "CALL Jog:", "DELAY(10)",
                        "(Stepped%, Done%) = _Step(Count%, 100)", "o% = ABS Count%",
                        "PRINT \"count \", Count%, \" speed \", Speed, \" level \", Level[0]",
                        "Avg = AVERAGE(Level, 3) + FILTER(Speed, 4) + SQR(ABS(Speed)) + SIN(0.5) + COS(0) + TAN(0) + EXP(0) + LN(1)",
                        "Code% = CRC(Zone%, 8) + BCD2BIN(16#12) + BIN2BCD(12) + BCD2SEG(3) + SGN(-4) + INT(2.5) + TIME",
                        "m% = MIN(Stepped%, MAX(Done%, o%)) + 0x1F + 8#17 + 2#1011 + #INT1.21 + #8.03.2 + #Ptr% + Code%",
                        "PRINT Avg, m%, FLOAT(m%) / 2e-3, #1.21 OR 0",
                        "ANSIWRITE(121, ANSIREAD(302) + ANSIREPLY(-1) + GETCHAR + GETKEY)", "PUTCHAR(65)", "PUTKEY(13)",
                        "goto top:"}},
    };
}

TEST(CompilerClean, EveryStatementKind) {
    const cmp::Result r = CompileSections(EveryStatementProgram());
    EXPECT_EQ(MessageLines(r), std::vector<std::string>{"0 error(s), 0 warning(s)"});
    EXPECT_FALSE(r.image.code.empty());
}

// Keywords and built-ins are words in any case: respelling each of them gives the same code.
TEST(CompilerClean, KeywordsAndBuiltInsInAnyCase) {
    const std::vector<std::string> words = {
        "IF", "THEN", "ELSEIF", "ELSE", "ENDIF", "DO", "WHILE", "LOOP", "FOR", "TO", "STEP", "EXIT", "GOTO", "CALL",
        "DIM", "CONST", "PRINT", "WDOG", "DELAY", "AND", "OR", "FBBODY", "ABS", "SIN", "COS", "TAN", "SQR", "EXP", "LN",
        "SGN", "INT", "FLOAT", "MIN", "MAX", "LIMIT", "TIME", "BCD2BIN", "BIN2BCD", "BCD2SEG", "CRC", "AVERAGE", "FILTER",
        "ANSIREAD", "ANSIWRITE", "ANSIREPLY", "GETCHAR", "PUTCHAR", "GETKEY", "PUTKEY"};
    const auto respell = [&](int style) {
        std::vector<Sec> program = EveryStatementProgram();
        for (Sec& sec : program)
            for (std::string& line : sec.lines)
                for (std::size_t i = 0; i < line.size();) {
                    std::size_t j = i;
                    while (j < line.size() && (std::isalnum(static_cast<unsigned char>(line[j])) || line[j] == '%' || line[j] == '_'))
                        ++j;
                    if (j == i) {
                        ++i;
                        continue;
                    }
                    std::string upper = line.substr(i, j - i);
                    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                    if ((i == 0 || line[i - 1] != '#') && std::find(words.begin(), words.end(), upper) != words.end())
                        for (std::size_t k = i; k < j; ++k) {
                            const bool low = style == 0 || (style == 1 && (k - i) % 2 == 1) || (style == 2 && k > i);
                            line[k] = static_cast<char>(low ? std::tolower(static_cast<unsigned char>(upper[k - i])) : upper[k - i]);
                        }
                    i = j;
                }
        return program;
    };
    const cmp::Result expected = CompileSections(EveryStatementProgram());
    for (int style : {0, 1, 2}) {
        SCOPED_TRACE(style);
        const std::vector<Sec> program = respell(style);
        ASSERT_NE(program[5].lines[1], EveryStatementProgram()[5].lines[1]); // the words were respelt
        const cmp::Result r = CompileSections(program);
        EXPECT_EQ(MessageLines(r), std::vector<std::string>{"0 error(s), 0 warning(s)"});
        EXPECT_EQ(Disassemble(r.image), Disassemble(expected.image));
    }
}

} // namespace
} // namespace rux::test
