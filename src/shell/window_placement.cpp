#include "shell/window_placement.h"

#include <climits>
#include <cstdio>

namespace rux {

namespace {

bool ParseField(std::string_view field, bool allowSign, long long& out) {
    while (!field.empty() && (field.front() == ' ' || field.front() == '\t'))
        field.remove_prefix(1);
    while (!field.empty() && (field.back() == ' ' || field.back() == '\t'))
        field.remove_suffix(1);
    bool negative = false;
    if (allowSign && !field.empty() && (field.front() == '-' || field.front() == '+')) {
        negative = field.front() == '-';
        field.remove_prefix(1);
    }
    if (field.empty() || field.size() > 10) return false;
    long long value = 0;
    for (char c : field) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    out = negative ? -value : value;
    return true;
}

} // namespace

std::optional<CWindowPlacement> CWindowPlacement::Parse(std::string_view text) {
    long long v[10];
    int count = 0;
    std::size_t pos = 0;
    while (true) {
        std::size_t comma = text.find(',', pos);
        std::string_view field = text.substr(pos, comma == std::string_view::npos ? text.npos : comma - pos);
        if (count == 10 || !ParseField(field, count >= 2, v[count])) return std::nullopt;
        ++count;
        if (comma == std::string_view::npos) break;
        pos = comma + 1;
    }
    if (count != 10) return std::nullopt;
    for (int i = 0; i < 10; ++i) {
        long long lo = i < 2 ? 0 : INT_MIN;
        long long hi = i < 2 ? static_cast<long long>(UINT32_MAX) : INT_MAX;
        if (v[i] < lo || v[i] > hi) return std::nullopt;
    }
    CWindowPlacement p;
    p.flags = static_cast<uint32_t>(v[0]);
    p.showCmd = static_cast<uint32_t>(v[1]);
    p.minX = static_cast<int32_t>(v[2]);
    p.minY = static_cast<int32_t>(v[3]);
    p.maxX = static_cast<int32_t>(v[4]);
    p.maxY = static_cast<int32_t>(v[5]);
    p.left = static_cast<int32_t>(v[6]);
    p.top = static_cast<int32_t>(v[7]);
    p.right = static_cast<int32_t>(v[8]);
    p.bottom = static_cast<int32_t>(v[9]);
    return p;
}

std::string CWindowPlacement::Format() const {
    char buf[160];
    std::snprintf(buf, sizeof buf, "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d", flags, showCmd, minX, minY, maxX, maxY,
                  left, top, right, bottom);
    return buf;
}

} // namespace rux
