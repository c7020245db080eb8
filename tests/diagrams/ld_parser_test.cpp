#include "diagrams/ld_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rux {
namespace {

using Strings = std::vector<std::string>;

// Every token as "<kind>:<text>" up to the end.
Strings Tokens(std::string_view text) {
    CLdParser parser;
    parser.Start(text);
    Strings tokens;
    std::string token;
    for (int kind; (kind = parser.NextToken(token)) != CLdParser::kEnd;)
        tokens.push_back(std::to_string(kind) + ":" + token);
    return tokens;
}

Strings Operands(std::string_view text) {
    CLdParser parser;
    parser.Start(text);
    Strings operands;
    std::string operand;
    while (parser.NextOperand(operand))
        operands.push_back(operand);
    return operands;
}

TEST(LdParser, Tokens) {
    const std::string longComment(300, 'c');
    struct {
        const char* name;
        std::string text;
        Strings tokens;
    } cases[] = {
        {"nothing before BOF is read", "XIC(*a*) bof SOR", {"1:SOR"}},
        {"no BOF: nothing at all", "SOR XIC(*a*)", {}},
        {"kinds and upper case", "BOF sor [0,0] xic(* Motor 1 *) , ote;",
         {"1:SOR", "4:XIC", "2:Motor 1", "3:,", "4:OTE", "3:;"}},
        {"every contact and coil", "BOF XIC XIO XIP XIF OTE OTO OTP OTN OTS OTR XIX",
         {"4:XIC", "4:XIO", "4:XIP", "4:XIF", "4:OTE", "4:OTO", "4:OTP", "4:OTN", "4:OTS", "4:OTR", "1:XIX"}},
        {"EOF ends the text", "BOF A EOF XIC(*after*)", {"1:A"}},
        {"eof in any case", "BOF A eOf B", {"1:A"}},
        {"bracket groups are skipped whole", "BOF [SOR,(*x*);EOF] B", {"1:B"}},
        {"an open bracket runs to the end", "BOF A [ B C", {"1:A"}},
        {"digits and other bytes are skipped", "BOF 12 A1 ) * B", {"1:A", "1:B"}},
        {"a plain parenthesis is a separator", "BOF (A)", {"3:(", "1:A"}},
        {"an unclosed comment runs to the end", "BOF (* open", {"2:open"}},
        {"a long comment is cut", "BOF (*" + longComment + "*)", {"2:" + longComment.substr(0, 255)}},
        {"an empty comment", "BOF (**)", {"2:"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Tokens(c.text), c.tokens) << c.name;
}

TEST(LdParser, Operands) {
    struct {
        const char* name;
        std::string text;
        Strings operands;
    } cases[] = {
        {"contacts and coils", "BOF\r\nSOR [0,0] XIC(*Start*) XIO(*Stop*) OTE(*Run*)\r\nEOF\r\n",
         {"Start", "Stop", "Run"}},
        {"a word between instruction and comment hides it", "BOF XIC JUNK (*a*) OTE(*b*)", {"b"}},
        {"an instruction right after another is not lost", "BOF XIC XIO(*b*)", {"b"}},
        {"a separator and one token, then the comment", "BOF , X (*p*)", {"p"}},
        {"comments of words are no operands", "BOF SOR (*rung note*) XIC(*a*)", {"a"}},
        {"nothing after EOF", "BOF XIC(*a*) EOF OTE(*b*)", {"a"}},
        {"an instruction at the end", "BOF XIC", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Operands(c.text), c.operands) << c.name;
}

TEST(LdParser, LadderIdentifiers) {
    Strings names;
    ScanLadderIdentifiers("BOF XIC(*motor_on*) XIO(*_x*) OTE(*$sys*) XIC(*9lives*) XIC(*a[i]*) XIC(*s.b[2]*) "
                          "OTE(*#01.020*) OTE(*#3.007.01*) OTE(*#1.x*) OTE(*#1*) OTE(*#1.2.3.4*) XIC(**) EOF",
                          [&](std::string_view name) { names.emplace_back(name); });
    EXPECT_EQ(names, (Strings{"MOTOR_ON", "_X", "$SYS", "A[]", "S.B[2]", "#1.20", "#3.7.1", "#1.X", "#1",
                              "#1.2.3.4"}));
}

} // namespace
} // namespace rux
