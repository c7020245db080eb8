// The core's colours — 0xBBGGRR colour references and CRgb triples — as Qt colours.
#pragma once

#include "shell/lite_color.h"
#include "shell/theme_colors.h"

#include <QColor>

namespace rux {

inline CRgb RgbOf(ColorRef ref) {
    return {static_cast<uint8_t>(ref & 0xFF), static_cast<uint8_t>((ref >> 8) & 0xFF),
            static_cast<uint8_t>((ref >> 16) & 0xFF)};
}

inline QColor ToQColor(CRgb c) {
    return QColor(c.r, c.g, c.b);
}

inline QColor ToQColor(ColorRef ref) {
    return ToQColor(RgbOf(ref));
}

} // namespace rux
