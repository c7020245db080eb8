#include "shell/icon_ink.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace rux {
namespace {

constexpr CRgb kDarkWindow{0x2b, 0x2d, 0x31};
constexpr CRgb kLightWindow{0xe9, 0xee, 0xf5};
constexpr CRgb kLightInk{0xe6, 0xe6, 0xe6};
constexpr CRgb kDarkInk{0x18, 0x21, 0x2b};

TEST(IconInk, NeutralInksAreDarkGreysOnly) {
    struct Row {
        CRgb c;
        bool ink;
    } rows[] = {
        {{0x4a, 0x53, 0x60}, true},  {{0x5b, 0x64, 0x70}, true}, {{0x2c, 0x32, 0x3a}, true},
        {{0x8a, 0x94, 0xa3}, false}, // a mid grey fill
        {{0x1d, 0x4f, 0x8c}, false}, // dark, but blue
        {{0xff, 0xff, 0xff}, false}, {{0xc0, 0x39, 0x2b}, false},
    };
    for (const Row& r : rows) EXPECT_EQ(IsNeutralInk(r.c), r.ink) << int(r.c.r) << "," << int(r.c.g) << "," << int(r.c.b);
}

TEST(IconInk, PicturesFollowTheLook) {
    struct Row {
        const char* svg;
        CRgb ink, window;
        const char* expected;
    } rows[] = {
        // The ink becomes the look's text colour, in strokes and fills alike.
        {R"(<path stroke="#5b6470" fill="#4A5360"/>)", kLightInk, kDarkWindow,
         R"(<path stroke="#e6e6e6" fill="#e6e6e6"/>)"},
        {R"(<path stroke="#5b6470"/>)", kDarkInk, kLightWindow, R"(<path stroke="#18212b"/>)"},
        // A dark blue outline sinks into the dark window: raised towards white until 3:1.
        {R"(<rect stroke="#1d4f8c"/>)", kLightInk, kDarkWindow, R"(<rect stroke="#5a7fab"/>)"},
        // On the dark window a dark fill is raised too; white paper is left alone.
        {R"(<rect fill="#1d4f8c"/><rect fill="#ffffff"/>)", kLightInk, kDarkWindow,
         R"(<rect fill="#5a7fab"/><rect fill="#ffffff"/>)"},
        // On a light window light fills are paper and stay; a light stroke is darkened.
        {R"(<rect fill="#eef3fa" stroke="#f2c14e"/>)", kDarkInk, kLightWindow,
         R"(<rect fill="#eef3fa" stroke="#9e7f33"/>)"},
        // Colours that stand out already, and text that is no colour, come through untouched.
        {R"(<circle fill="#c0392b"/><a href="#abc">#12</a> #1234567)", kDarkInk, kLightWindow,
         R"(<circle fill="#c0392b"/><a href="#abc">#12</a> #1234567)"},
    };
    for (const Row& r : rows) EXPECT_EQ(ThemedSvg(r.svg, r.ink, r.window), r.expected) << r.svg;
}

TEST(IconInk, EveryRaisedColourStandsOut) {
    for (const CRgb window : {kDarkWindow, kLightWindow})
        for (const CRgb c : {CRgb{0, 0, 0}, CRgb{0x1d, 0x4f, 0x8c}, CRgb{0x8e, 0x1f, 0x1f}, CRgb{0xff, 0xff, 0x00},
                             CRgb{0xe0, 0xa5, 0x26}}) {
            char svg[32];
            std::snprintf(svg, sizeof svg, "stroke=\"#%02x%02x%02x\"", c.r, c.g, c.b);
            const CRgb ink = window == kDarkWindow ? kLightInk : kDarkInk;
            const std::string out = ThemedSvg(svg, ink, window);
            const unsigned v = static_cast<unsigned>(std::stoul(out.substr(9, 6), nullptr, 16));
            const CRgb raised{static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
            EXPECT_GE(ContrastRatio(raised, window), 3.0) << svg << " -> " << out;
        }
}

} // namespace
} // namespace rux
