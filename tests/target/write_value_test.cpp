// Validation of values typed for a write: forms, types, ranges and the lookup's arguments.
#include "target/write_value.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace rux {
namespace {

struct CFakeSymbols {
    std::map<std::string, CSymbolInfo> table = {
        {"Count%", {kSymInteger, false}}, {"Speed", {kSymReal, false}},   {"Gain", {kSymFloat, false}},
        {"Big", {kSymLongReal, false}},   {"Run%", {kSymInteger, true}}, {"#INT1.21", {kSymInteger, false}},
        {"#1.21", {kSymReal, false}},     {"Odd", {7, false}},
    };
    std::string lastSymbol, lastNode, lastDirectory;

    SymbolLookup Lookup() {
        return [this](const std::string& dir, const std::string& symbol, const std::string& node, CSymbolInfo& info) {
            lastDirectory = dir;
            lastSymbol = symbol;
            lastNode = node;
            const auto it = table.find(symbol);
            if (it == table.end()) return false;
            info = it->second;
            return true;
        };
    }
};

TEST(WriteValue, FormsAndRangesByType) {
    struct Case {
        const char* symbol;
        std::string value;
        bool valid;
        const char* written;  // the text that goes to the drive
    } cases[] = {
        {"Count%", "10", true, "10"},
        {"Count%", "0xA1", true, "161"},
        {"Count%", "0xa1", true, "161"},
        {"Count%", "-0x10", true, "-16"},
        {"Count%", "0x7FFFFFFF", true, "2147483647"},
        {"Count%", "-0x80000000", true, "-2147483648"},
        {"Count%", "0x80000000", false, ""},
        {"Count%", "0x", false, ""},
        {"Count%", "0x1G", false, ""},
        {"Count%", "0x-5", false, ""},
        {"Count%", "0X10", false, ""},  // only the lower-case prefix marks hexadecimal
        {"Count%", "2147483647", true, "2147483647"},
        {"Count%", "2147483648", false, ""},
        {"Count%", "-2147483649", false, ""},
        {"Count%", "1.5", false, ""},
        {"Count%", "12abc", false, ""},
        {"Count%", "", false, ""},
        {"Count%", " 12", true, " 12"},  // leading blanks are read as the C library reads them
        {"Count%", "12 ", false, ""},
        {"Speed", "1.5", true, "1.5"},
        {"Speed", "-2e300", true, "-2e300"},
        {"Speed", "1e999", false, ""},
        {"Speed", "inf", false, ""},
        {"Speed", "nan", false, ""},
        {"Speed", "0x10", true, "16"},
        {"Speed", "1.5x", false, ""},
        {"Speed", " 0x4", false, ""},  // a hexadecimal real is not a decimal one
        {"Speed", "0x1p3", false, ""},
        {"Big", "1e39", true, "1e39"},
        {"Gain", "1e39", false, ""},
        {"Gain", "3.4028234663852886e38", true, "3.4028234663852886e38"},
        {"Gain", "-3.41e38", false, ""},
        {"Gain", "0", true, "0"},
        {"Gain", "1e-38", false, ""},
        {"Gain", "-1e-39", false, ""},
        {"Gain", "1.2e-38", true, "1.2e-38"},
        {"Run%", "1", true, "1"},
        {"Run%", "0", true, "0"},
        {"Run%", "2", false, ""},
        {"Run%", "0x1", true, "1"},
        {"Run%", "1.0", false, ""},
        {"Odd", "1", false, ""},
        {"Missing", "1", false, ""},
        {"#int1.21", "5", true, "5"},
        {"#[INT]1.21", "5", true, "5"},
        {"#1.21", "150.5", true, "150.5"},
        // A zero byte inside the text, and more than fifty characters, are refused for every type.
        {"Count%", std::string("1\0" "5", 3), false, ""},
        {"Speed", std::string("1\0" "5", 3), false, ""},
        {"Run%", std::string("1\0" "5", 3), false, ""},
        {"Speed", "1." + std::string(48, '0'), true, "1.000000000000000000000000000000000000000000000000"},
        {"Speed", "1." + std::string(49, '0'), false, ""},
        {"Count%", std::string(50, '0') + "7", false, ""},
    };
    for (const Case& c : cases) {
        CFakeSymbols syms;
        std::string value = c.value;
        EXPECT_EQ(ValidateWriteValue("/prog", c.symbol, "3", value, syms.Lookup()), c.valid) << c.symbol << " " << c.value;
        EXPECT_EQ(value, c.valid ? c.written : c.value) << c.symbol << " " << c.value;
    }
}

TEST(WriteValue, LookupSeesTheNormalisedSymbolAndNode) {
    struct Case {
        const char* symbol;
        const char* node;
        const char* looked;
        const char* lookedNode;
    } cases[] = {
        {"#int1.21", "3:PLANTNET", "#INT1.21", "3"},
        {"#[int]2.11", "12", "#INT2.11", "12"},
        {"b2#1.21", "1", "b2#1.21", "1"},  // not a parameter by its first character: kept as it is
        {"count%", "5:a:b", "count%", "5"},
        {"#1.21.3", ":x", "#1.21.3", ""},
    };
    for (const Case& c : cases) {
        CFakeSymbols syms;
        std::string value = "1";
        ValidateWriteValue("/p", c.symbol, c.node, value, syms.Lookup());
        EXPECT_EQ(syms.lastSymbol, c.looked) << c.symbol;
        EXPECT_EQ(syms.lastNode, c.lookedNode) << c.node;
        EXPECT_EQ(syms.lastDirectory, "/p");
    }
}

} // namespace
} // namespace rux
