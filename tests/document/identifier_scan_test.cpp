#include "document/identifier_scan.h"
#include "document/reserved_words.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace rux {
namespace {

std::vector<std::string> LineWords(std::string_view line) {
    std::vector<std::string> words;
    ScanLineIdentifiers(line, [&](std::string_view w) { words.emplace_back(w); });
    return words;
}

std::vector<std::string> FbdWords(std::string_view payload) {
    std::vector<std::string> words;
    ScanFbdIdentifiers(payload, [&](std::string_view w) { words.emplace_back(w); });
    return words;
}

using Words = std::vector<std::string>;

TEST(IdentifierScan, LinesYieldTheirIdentifiersInOrder) {
    struct Case {
        const char* line;
        Words words;
    } cases[] = {
        {"Speed% = Ref% + 1", {"Speed%", "Ref%"}},
        {"\t  x = y", {"x", "y"}},
        {"a = b ; c = d", {"a", "b"}},
        {"a = b // c", {"a", "b"}},
        {"a = b / c", {"a", "b", "c"}},
        {"Loop1: x = 1", {"x"}},
        {"Loop1 : x = 1", {"Loop1", "x"}},
        {"PRINT \"Speed; // here\" , v", {"v"}},
        {"PRINT \"open string x", {}},
        {"s = \"a\" + t + \"b\" + u", {"s", "t", "u"}},
        {"$FLT single x", {"x"}},
        {"$flt DOUBLE y", {"y"}},
        {"$FLT z single", {"z", "single"}},
        {"single = double", {"single", "double"}},
        {"IF a AND b THEN", {"a", "b"}},
        {"if Abs(x) > Max", {"x"}},
        {"#1.21 = #INT", {"#1.21"}},
        {"arr[3].v = _tmp", {"arr[3].v", "_tmp"}},
        {"12abc = 0x1F", {"abc", "x1F"}},
        {"$V3 $Define FOO", {"FOO"}},
        {"; only a comment", {}},
        {"", {}},
        {"a:b", {"b"}},
        {"abs2 = ab", {"abs2", "ab"}},
        {"\xE9t\xE9 = 1", {"t"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LineWords(c.line), c.words) << c.line;
}

TEST(IdentifierScan, FbdPayloadNamesFollowVarAndX) {
    const std::string longName(300, 'n');
    struct Case {
        std::string payload;
        Words words;
    } cases[] = {
        {"@VAR:1 X=Speed%\n@VAR:2 X=#1.21\r\n", {"Speed%", "#1.21"}},
        {"@VAR:1\nY=3 X=Later\n", {"Later"}},
        {"@VAR:1 X=9lives\n@VAR:2 X=_ok\n", {"_ok"}},
        {"@VAR:1 X=\n", {}},
        {"X=NotAfterVar\n@VAR:1 X=a b c", {"a b c"}},
        {"@VAR:1 X=" + longName + "\n", {std::string(255, 'n')}},
        {"@VAR:1 no name here", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FbdWords(c.payload), c.words) << c.payload;
}

TEST(ReservedWords, WholeWordWithoutRegardToCase) {
    struct Case {
        const char* word;
        bool reserved;
    } cases[] = {
        {"$AUTHOR", true}, {"$author", true},  {"$V3", true}, {"#int", true},
        {"Int", true},     {"TO", true},       {"to", true},  {"ANSIREPLY", true},
        {"wdog", true},    {"ABSX", false},    {"AB", false}, {"INT#", false},
        {"single", false}, {"$TARGET", false}, {"", false},   {"ANSIREPLYX", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsReservedWord(c.word), c.reserved) << c.word;
}

} // namespace
} // namespace rux
