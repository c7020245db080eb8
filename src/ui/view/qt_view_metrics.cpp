#include "view/qt_view_metrics.h"

#include "cp1252.h"
#include "document/ascii_text.h"
#include "shell/setting.h"

#include <QFontMetrics>

#include <algorithm>
#include <cstring>

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

CQtViewMetrics::CQtViewMetrics() : CQtViewMetrics(MakeViewFont(CFontDesc{"courier", 100, 400, false}), 2) {}

CQtViewMetrics::CQtViewMetrics(const QFont& font, int tabSize) {
    SetFont(font, tabSize);
}

void CQtViewMetrics::SetFont(const QFont& font, int tabSize) {
    // Measuring a face takes a thousand glyph look-ups; the settings are often applied again unchanged.
    if (m_measured && font == m_font) {
        m_tabWidth = std::max(1, std::max(1, tabSize) * m_advance[' ']);
        return;
    }
    m_measured = true;
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
    // A monospaced face gives every ASCII byte one pitch (the upper half may come from fallback faces):
    // an ASCII run between tabs is then measured by its length.
    m_pitch = m_advance[' '];
    for (int b = 0; b < 0x7F; ++b)
        if (m_advance[static_cast<size_t>(b)] != m_pitch) m_pitch = 0;
    m_raw = QRawFont::fromFont(font);
    for (int b = 0; b < 256; ++b) {
        m_glyph[static_cast<size_t>(b)] = 0;
        if (b < 32 || b == 127 || !m_raw.isValid()) continue;
        const char byte = static_cast<char>(b);
        const QList<quint32> glyphs = m_raw.glyphIndexesForString(FromCp1252(std::string_view(&byte, 1)));
        if (glyphs.size() == 1) m_glyph[static_cast<size_t>(b)] = glyphs[0];
    }
}

namespace {

// True when every byte is below 0x7F, eight bytes at a time.
bool IsPlainAscii(std::string_view text) {
    constexpr uint64_t kHigh = 0x8080808080808080ull, kOne = 0x0101010101010101ull;
    const char* p = text.data();
    size_t n = text.size();
    for (; n >= 8; n -= 8, p += 8) {
        uint64_t v;
        std::memcpy(&v, p, 8);
        // A byte of 0x80 or more has its top bit; adding one sets it for 0x7F, without carrying on.
        if ((v | (v + kOne)) & kHigh) return false;
    }
    for (; n > 0; --n, ++p)
        if (static_cast<unsigned char>(*p) >= 0x7F) return false;
    return true;
}

} // namespace

int CQtViewMetrics::Advance(std::string_view text, int x0, int lineStart) const {
    int x = x0;
    if (m_pitch > 0 && IsPlainAscii(text)) {
        // Layout measures every line of a program: runs between tabs at memchr speed.
        // Indentation is runs of tabs: a tab met on a stop goes on by one stop without a division.
        const char* p = text.data();
        size_t n = text.size();
        bool onStop = x == lineStart;
        while (n > 0) {
            if (*p == '\t' && onStop) {
                x += m_tabWidth;
                ++p;
                --n;
                continue;
            }
            const auto* tab = static_cast<const char*>(std::memchr(p, '\t', n));
            const size_t run = tab ? static_cast<size_t>(tab - p) : n;
            x += static_cast<int>(run) * m_pitch;
            if (!tab) break;
            x = lineStart + ((x - lineStart) / m_tabWidth + 1) * m_tabWidth;
            onStop = true;
            p += run + 1;
            n -= run + 1;
        }
        return x;
    }
    for (const unsigned char c : text) {
        if (c == '\t')
            x = lineStart + ((x - lineStart) / m_tabWidth + 1) * m_tabWidth;
        else
            x += m_advance[c];
    }
    return x;
}

} // namespace rux
