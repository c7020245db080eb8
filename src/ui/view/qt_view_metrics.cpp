#include "view/qt_view_metrics.h"

#include "cp1252.h"
#include "document/ascii_text.h"
#include "shell/setting.h"

#include <QFontMetrics>

#include <algorithm>

namespace rux {

QFont MakeViewFont(const CFontDesc& desc) {
    std::string face = desc.face;
    for (char& c : face)
        c = LowerAscii(c);
    QFont font;
    if (face.empty() || face.find("courier") != std::string::npos)
        font.setFamily(QStringLiteral("Liberation Mono"));
    else
        font.setFamily(FromCp1252(desc.face));
    font.setStyleHint(QFont::TypeWriter);
    const int size = desc.size < 11 ? 100 : desc.size;
    font.setPointSizeF(size / 10.0);
    font.setWeight(static_cast<QFont::Weight>(std::clamp(desc.weight, 100, 900)));
    font.setItalic(desc.italic);
    font.setKerning(false);
    return font;
}

CQtViewMetrics::CQtViewMetrics() {
    SetFont(MakeViewFont(CFontDesc{"courier", 100, 400, false}), 2);
}

void CQtViewMetrics::SetFont(const QFont& font, int tabSize) {
    m_font = font;
    const QFontMetrics fm(font);
    m_lineHeight = std::max(kMinLineHeight, fm.height() + fm.leading());
    m_ascent = fm.ascent() + std::max(0, (m_lineHeight - fm.height()) / 2);
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        const QString s = FromCp1252(std::string_view(&byte, 1));
        m_advance[static_cast<size_t>(b)] =
            b < 32 ? fm.horizontalAdvance(QLatin1Char(' ')) : fm.horizontalAdvance(s);
    }
    m_tabWidth = std::max(1, std::max(1, tabSize) * m_advance[' ']);
    m_raw = QRawFont::fromFont(font);
    for (int b = 0; b < 256; ++b) {
        m_glyph[static_cast<size_t>(b)] = 0;
        if (b < 32 || b == 127 || !m_raw.isValid()) continue;
        const char byte = static_cast<char>(b);
        const QList<quint32> glyphs = m_raw.glyphIndexesForString(FromCp1252(std::string_view(&byte, 1)));
        if (glyphs.size() == 1) m_glyph[static_cast<size_t>(b)] = glyphs[0];
    }
}

int CQtViewMetrics::Advance(std::string_view text, int x0, int lineStart) const {
    int x = x0;
    for (const unsigned char c : text) {
        if (c == '\t')
            x = lineStart + ((x - lineStart) / m_tabWidth + 1) * m_tabWidth;
        else
            x += m_advance[c];
    }
    return x;
}

} // namespace rux
