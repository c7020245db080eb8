#include "target/write_value.h"

#include "target/service_library.h"

#include "h2syb.h"

#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace rux {

namespace {

constexpr std::size_t kMaxValueText = 50;  // 51 characters or more are refused
constexpr double kFloatMax = 3.4028234663852886e38;
constexpr double kFloatMinNormal = 1.1754943508222875e-38;

// The drive's integers are 32 bits wide: a value that does not fit one overflows.
bool ReadInteger(const std::string& text, int base, long long& value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtoll(text.c_str(), &end, base);
    return end != text.c_str() && end == text.c_str() + text.size() && errno != ERANGE && value >= INT32_MIN && value <= INT32_MAX;
}

// A decimal real: the C library would also read hexadecimal reals, infinity and not-a-number.
bool ReadReal(const std::string& text, double& value) {
    if (text.empty() || text.find_first_not_of(" \t\n\v\f\r+-.0123456789eE") != std::string::npos) return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end != text.c_str() && end == text.c_str() + text.size() && errno != ERANGE && std::isfinite(value);
}

} // namespace

std::string NormaliseWriteSymbol(const std::string& symbol) {
    if (symbol.empty() || symbol[0] != '#') return symbol;
    std::string s = symbol;
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    for (std::size_t at; (at = s.find("#[INT]")) != std::string::npos;)
        s.replace(at, 6, "#INT");
    return s;
}

bool ValidateWriteValue(const std::string& directory, const std::string& symbol, const std::string& node,
                        std::string& valueText, const SymbolLookup& lookup) {
    const std::string name = NormaliseWriteSymbol(symbol);
    const std::string nodeText = node.substr(0, node.find(':'));
    CSymbolInfo info;
    if (!lookup || !lookup(directory, name, nodeText, info)) return false;

    std::string value = valueText;
    if (value.starts_with("0x") || value.starts_with("-0x")) {
        const bool negative = value[0] == '-';
        const std::string digits = value.substr(negative ? 3 : 2);
        // strtoll would take a sign or blanks after the prefix; only hexadecimal digits may follow.
        if (digits.empty() || digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return false;
        long long v = 0;
        if (!ReadInteger((negative ? "-" : "") + digits, 16, v)) return false;
        char buf[32];
        std::snprintf(buf, sizeof buf, "%lld", v);
        value = buf;
    }

    if (info.bit) {
        if (value != "0" && value != "1") return false;  // also refuses a text with a zero byte
    } else {
        switch (info.type) {
        case kSymReal:
        case kSymFloat:
        case kSymLongReal: {
            double v = 0;
            if (!ReadReal(value, v)) return false;
            const double m = std::fabs(v);
            if (info.type == kSymFloat && (m > kFloatMax || (m > 0.0 && m < kFloatMinNormal))) return false;
            break;
        }
        case kSymInteger: {
            long long v = 0;
            if (!ReadInteger(value, 10, v)) return false;
            break;
        }
        default: return false;
        }
    }
    if (value.size() > kMaxValueText) return false;
    valueText = value;
    return true;
}

bool LookupThroughSymbolLibrary(const std::string& directory, const std::string& symbol, const std::string& node,
                                CSymbolInfo& info) {
    CServiceLibrary lib("H2Syb");
    auto open = lib.Entry<int32_t(const char*)>("H2SYB_Open");
    auto script = lib.Entry<int32_t(const char*)>("H2SYB_LoadScript");
    auto get = lib.Entry<int32_t(const char*, const char*, H2SYBOBJADDR*)>("H2SYB_GetObjAddr");
    if (open == nullptr || script == nullptr || get == nullptr) return false;
    char cwd[4096];
    const bool haveCwd = ::getcwd(cwd, sizeof cwd) != nullptr;
    if (!directory.empty() && ::chdir(directory.c_str()) != 0) return false;
    H2SYBOBJADDR rec{};
    const bool ok = open(directory.empty() ? "." : directory.c_str()) != 0 && script("HALM2.NAD") != 0 &&
                    get(symbol.c_str(), node.c_str(), &rec) == 1;
    if (haveCwd && ::chdir(cwd) != 0) return false;
    if (!ok) return false;
    info.type = rec.Type;
    info.bit = false;
    return true;
}

} // namespace rux
