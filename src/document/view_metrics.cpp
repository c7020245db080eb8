#include "document/view_metrics.h"

namespace rux {

int CFixedPitchMetrics::TextWidth(std::string_view text) const {
    const int tabWidth = m_tabSize * m_charWidth;
    int x = 0;
    for (char c : text) {
        if (c == '\t')
            x = (x / tabWidth + 1) * tabWidth;
        else
            x += m_charWidth;
    }
    return x;
}

} // namespace rux
