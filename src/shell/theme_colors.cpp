#include "shell/theme_colors.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace rux {
namespace {

constexpr CRgb Hex(uint32_t v) {
    return {static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
}

// Zinc: neutral greys with a graphite accent. Titanium: near-white with a steel-blue accent.
// Cobalt: cool light greys with a strong blue frame. Tungsten: dark charcoal with a soft blue accent
// and dark text on the selection, which white would not be legible on.
const CThemeColors kLooks[] = {
    {"Zinc", Hex(0xe4e5e7), Hex(0xffffff), Hex(0x1e2024), Hex(0x6c727b), Hex(0xb4b7bd), Hex(0x767c85),
     Hex(0x5b6b7f), Hex(0xffffff), Hex(0xcbcdd2), Hex(0x1e2024), Hex(0xa9acb2), Hex(0xd4d6da), Hex(0x1e2024),
     Hex(0x6c727b), false},
    {"Titanium", Hex(0xf7f7f5), Hex(0xffffff), Hex(0x202124), Hex(0x6f757e), Hex(0xd0d4db), Hex(0x7a8089),
     Hex(0x3570b0), Hex(0xffffff), Hex(0xe6e9ee), Hex(0x303a48), Hex(0xc9ced6), Hex(0xe6e9ee), Hex(0x303a48),
     Hex(0x6f757e), false},
    {"Cobalt", Hex(0xe9eef5), Hex(0xf6f8fb), Hex(0x18212b), Hex(0x68717e), Hex(0xafbdd1), Hex(0x718096),
     Hex(0x1f5faf), Hex(0xffffff), Hex(0x2a5ca8), Hex(0xffffff), Hex(0x8fa6c6), Hex(0x1f4f96), Hex(0xffffff),
     Hex(0xaabcdc), false},
    {"Tungsten", Hex(0x2b2d31), Hex(0x1f2023), Hex(0xe6e6e6), Hex(0x8a8f98), Hex(0x474a50), Hex(0x8a8f98),
     Hex(0x5e9bd6), Hex(0x14161a), Hex(0x373a3f), Hex(0xe6e6e6), Hex(0x17181a), Hex(0x232427), Hex(0xc4c7cc),
     Hex(0x8a8f98), true},
};

double Linear(uint8_t channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(CRgb c) {
    return 0.2126 * Linear(c.r) + 0.7152 * Linear(c.g) + 0.0722 * Linear(c.b);
}

struct CHsl {
    double h, s, l;
};

CHsl ToHsl(CRgb c) {
    const double r = c.r / 255.0, g = c.g / 255.0, b = c.b / 255.0;
    const double hi = std::max({r, g, b}), lo = std::min({r, g, b});
    CHsl out{0, 0, (hi + lo) / 2};
    const double d = hi - lo;
    if (d <= 0) return out;
    out.s = out.l > 0.5 ? d / (2 - hi - lo) : d / (hi + lo);
    if (hi == r)
        out.h = (g - b) / d + (g < b ? 6 : 0);
    else if (hi == g)
        out.h = (b - r) / d + 2;
    else
        out.h = (r - g) / d + 4;
    out.h /= 6;
    return out;
}

double HueChannel(double p, double q, double t) {
    if (t < 0) t += 1;
    if (t > 1) t -= 1;
    if (t < 1.0 / 6) return p + (q - p) * 6 * t;
    if (t < 0.5) return q;
    if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
    return p;
}

CRgb FromHsl(CHsl c) {
    auto byte = [](double v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
    if (c.s <= 0) return {byte(c.l), byte(c.l), byte(c.l)};
    const double q = c.l < 0.5 ? c.l * (1 + c.s) : c.l + c.s - c.l * c.s;
    const double p = 2 * c.l - q;
    return {byte(HueChannel(p, q, c.h + 1.0 / 3)), byte(HueChannel(p, q, c.h)), byte(HueChannel(p, q, c.h - 1.0 / 3))};
}

constexpr double kInkContrast = 4.5;

} // namespace

CRgb ProgramViewWindow(const CThemeColors& look) {
    return look.dark ? look.base : CRgb{255, 255, 255};
}

CRgb ProgramViewCaretRow(const CThemeColors& look) {
    return look.dark ? Hex(0x3a3d43) : Hex(0xc8c8c8);
}

CRgb ProgramViewInk(CRgb ink, const CThemeColors& look) {
    const CRgb window = ProgramViewWindow(look);
    if (!look.dark || ContrastRatio(ink, window) >= kInkContrast) return ink;
    CHsl hsl = ToHsl(ink);
    hsl.l = 1 - hsl.l;
    const double away = Luminance(window) < 0.18 ? 0.02 : -0.02;
    CRgb out = FromHsl(hsl);
    for (int step = 0; step < 50 && ContrastRatio(out, window) < kInkContrast; ++step) {
        hsl.l = std::clamp(hsl.l + away, 0.0, 1.0);
        out = FromHsl(hsl);
    }
    return out;
}

const CThemeColors& ThemeColors(int number) {
    return number >= 0 && number <= 3 ? kLooks[number] : kLooks[2];
}

const CThemeColors& PaneColors(int paneTheme) {
    switch (paneTheme) {
    case 1: return kLooks[0];
    case 3: return kLooks[3];
    default: return kLooks[2];
    }
}

double ContrastRatio(CRgb a, CRgb b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

std::vector<std::string> ContrastProblems(const CThemeColors& l) {
    struct Pair {
        const char* what;
        CRgb fore, back;
        double least;
    };
    const Pair pairs[] = {
        {"text on base", l.text, l.base, 4.5},
        {"text on window", l.text, l.window, 4.5},
        {"selected text on accent", l.accentText, l.accent, 4.5},
        {"pane title text", l.paneTitleText, l.paneTitle, 4.5},
        {"status text", l.statusText, l.statusBar, 4.5},
        {"disabled text on window", l.disabledText, l.window, 3.0},
        {"disabled text on base", l.disabledText, l.base, 3.0},
        {"disabled status text", l.statusDisabledText, l.statusBar, 3.0},
        {"control frame on base", l.control, l.base, 3.0},
        {"control frame on window", l.control, l.window, 3.0},
        {"selection on base", l.accent, l.base, 3.0},
        {"focus frame on window", l.accent, l.window, 3.0},
    };
    std::vector<std::string> problems;
    for (const Pair& p : pairs) {
        const double ratio = ContrastRatio(p.fore, p.back);
        if (ratio >= p.least) continue;
        char line[96];
        std::snprintf(line, sizeof line, "%s %.2f < %.1f", p.what, ratio, p.least);
        problems.emplace_back(line);
    }
    return problems;
}

} // namespace rux
