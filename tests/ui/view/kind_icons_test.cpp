// Section pictures stand out on the list behind them, light or dark.
#include "view/icons.h"

#include "shell/theme_colors.h"

#include <QImage>

#include <gtest/gtest.h>

namespace rux {
namespace {

// The pixel as it shows over the background.
CRgb Over(QRgb px, CRgb back) {
    const int a = qAlpha(px);
    const QColor c = QColor::fromRgba(px);
    const auto mix = [a](int fore, int b) { return static_cast<uint8_t>((fore * a + b * (255 - a) + 127) / 255); };
    return {mix(c.red(), back.r), mix(c.green(), back.g), mix(c.blue(), back.b)};
}

TEST(KindIcons, OutlinesStandOutOnLightAndDarkLists) {
    struct Row {
        int kind;
        int x, y; // a pixel the outline covers fully
        const char* what;
    } rows[] = {
        {1, 3, 8, "program page"},
        {15, 4, 8, "function block"},
        {4, 4, 8, "task gear"},
        {2, 1, 4, "diagram block"},
    };
    const CRgb white{255, 255, 255};
    const CRgb dark = ThemeColors(3).base;
    for (const Row& r : rows) {
        const QImage light = KindIcon(r.kind, false).toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage onDark = KindIcon(r.kind, true).toImage().convertToFormat(QImage::Format_ARGB32);
        EXPECT_GE(ContrastRatio(Over(light.pixel(r.x, r.y), white), white), 3.0) << r.what << " on white";
        EXPECT_GE(ContrastRatio(Over(onDark.pixel(r.x, r.y), dark), dark), 3.0) << r.what << " on the dark list";
        // The light picture would sink into the dark list: that is why there are two.
        EXPECT_LT(ContrastRatio(Over(light.pixel(r.x, r.y), dark), dark), 3.0) << r.what;
    }
}

} // namespace
} // namespace rux
