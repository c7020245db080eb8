// Validation of a value the user types to write to a symbol on the drive.
#pragma once

#include <functional>
#include <string>

namespace rux {

// Kinds of value a symbol holds, as the symbol library reports them.
enum ESymbolType : int {
    kSymReal = 1,
    kSymFloat = 2,  // single precision
    kSymInteger = 3,
    kSymLongReal = 4,
};

struct CSymbolInfo {
    int type = 0;
    bool bit = false;  // a single bit: only 0 and 1
};

// Looks a symbol up for the node in the program directory; false when it has none.
using SymbolLookup = std::function<bool(const std::string& directory, const std::string& symbol,
                                        const std::string& node, CSymbolInfo& info)>;

// True when valueText may be written to symbol. A hexadecimal value ("0x..", "-0x..") is replaced
// in valueText by its decimal form. Drive parameter symbols are normalised before the lookup.
bool ValidateWriteValue(const std::string& directory, const std::string& symbol, const std::string& node,
                        std::string& valueText, const SymbolLookup& lookup);

// The symbol as it is looked up: a drive parameter ("#...") upper-cased with "#[INT]" as "#INT".
std::string NormaliseWriteSymbol(const std::string& symbol);

// The symbol library's lookup (H2Syb from the product directory): opens the program directory's
// symbols and the node database. Reports no bit symbols, as the library does not describe them.
bool LookupThroughSymbolLibrary(const std::string& directory, const std::string& symbol, const std::string& node,
                                CSymbolInfo& info);

} // namespace rux
