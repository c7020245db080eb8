#include "shell/icon_ink.h"

#include <algorithm>
#include <cstdio>

namespace rux {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ParseColour(std::string_view s, size_t at, CRgb& out) {
    if (at + 7 > s.size() || s[at] != '#') return false;
    int v[6];
    for (int i = 0; i < 6; ++i)
        if ((v[i] = HexDigit(s[at + 1 + static_cast<size_t>(i)])) < 0) return false;
    // "#abcdef0" is not a colour of six digits.
    if (at + 7 < s.size() && HexDigit(s[at + 7]) >= 0) return false;
    out = {static_cast<uint8_t>(v[0] * 16 + v[1]), static_cast<uint8_t>(v[2] * 16 + v[3]),
           static_cast<uint8_t>(v[4] * 16 + v[5])};
    return true;
}

CRgb Mix(CRgb a, CRgb b, int percentOfB) {
    const auto m = [percentOfB](uint8_t x, uint8_t y) {
        return static_cast<uint8_t>((x * (100 - percentOfB) + y * percentOfB + 50) / 100);
    };
    return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

bool IsDark(CRgb c) {
    return ContrastRatio(c, {0, 0, 0}) < ContrastRatio(c, {255, 255, 255});
}

} // namespace

bool IsNeutralInk(CRgb c) {
    const int hi = std::max({c.r, c.g, c.b}), lo = std::min({c.r, c.g, c.b});
    return hi - lo <= 24 && ContrastRatio(c, {0, 0, 0}) < 4.0;
}

std::string ThemedSvg(std::string_view svg, CRgb ink, CRgb window) {
    const bool darkWindow = IsDark(window);
    const CRgb away = darkWindow ? CRgb{255, 255, 255} : CRgb{0, 0, 0};
    std::string out;
    out.reserve(svg.size());
    for (size_t i = 0; i < svg.size(); ++i) {
        CRgb c;
        if (svg[i] != '#' || !ParseColour(svg, i, c)) {
            out.push_back(svg[i]);
            continue;
        }
        const bool stroke = out.ends_with("stroke=\"") || out.ends_with("stroke:");
        if (IsNeutralInk(c)) {
            c = ink;
        } else if (darkWindow || stroke) {
            for (int step = 10; step <= 100 && ContrastRatio(c, window) < 3.0; step += 10) c = Mix(c, away, 10);
        }
        char hex[8];
        std::snprintf(hex, sizeof hex, "#%02x%02x%02x", c.r, c.g, c.b);
        out += hex;
        i += 6;
    }
    return out;
}

} // namespace rux
