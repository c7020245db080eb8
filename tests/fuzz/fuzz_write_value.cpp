// Fuzzes the validation of typed write values: the first byte picks the symbol's type, the rest is
// the value text. A value taken must be a plain decimal text the drive can read back.
#include "target/write_value.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const int type = data[0] % 6;
    const bool bit = (data[0] & 0x80) != 0;
    std::string value(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string typed = value;
    auto lookup = [&](const std::string&, const std::string&, const std::string&, rux::CSymbolInfo& info) {
        info.type = type;
        info.bit = bit;
        return true;
    };
    if (!rux::ValidateWriteValue("", "X", "1", value, lookup)) {
        Check(value == typed);
        return 0;
    }
    Check(value.size() <= 50);
    Check(value.find("0x") == std::string::npos);
    if (bit) {
        Check(value == "0" || value == "1");
        return 0;
    }
    char* end = nullptr;
    const double v = std::strtod(value.c_str(), &end);
    Check(*end == '\0' && std::isfinite(v));
    if (type == rux::kSymFloat) Check(std::fabs(v) <= 3.4028234663852886e38);
    if (type == rux::kSymInteger) Check(v == std::trunc(v) && v >= -2147483648.0 && v <= 2147483647.0);
    return 0;
}
