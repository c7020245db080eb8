#include "view/qt_view_metrics.h"

#include "cp1252.h"
#include "document/ascii_text.h"
#include "shell/setting.h"

#include <QFontMetrics>

#include <algorithm>
#include <bit>
#include <climits>
#include <cstdint>
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

constexpr uint64_t kOnes = 0x0101010101010101ull;
constexpr uint64_t kHigh = 0x8080808080808080ull;
constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
constexpr uint64_t kTabs = kOnes * '\t';

// Non-zero when a byte of v is 0x7F or above: it has its top bit, or adding one sets it (0x7F
// carries into nothing, and a carry out of 0xFF only follows a byte already found).
uint64_t HasHighByte(uint64_t v) { return (v | (v + kOnes)) & kHigh; }

// 0x80 in every byte of v that is zero and in no other: no carry crosses a byte.
uint64_t ZeroBytes(uint64_t v) { return ~(((v & kLow7) + kLow7) | v | kLow7); }

uint64_t Load8(const char* p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

} // namespace

int CQtViewMetrics::Advance(std::string_view text, int x0, int lineStart) const {
    // Layout measures every line of a program, so this runs once per line on opening one.
    int x = x0;
    // The stop x stands on, if any: indentation is runs of tabs, and a tab met on a stop goes on by
    // one stop without a division.
    int stop = x0 == lineStart ? x0 : INT_MIN;
    auto tab = [&] {
        x = x == stop ? x + m_tabWidth : lineStart + ((x - lineStart) / m_tabWidth + 1) * m_tabWidth;
        stop = x;
    };
    auto step = [&](unsigned char c) {
        if (c == '\t')
            tab();
        else
            x += m_advance[c];
    };
    const char* p = text.data();
    const size_t size = text.size();
    if (m_pitch <= 0 || size < 8 || std::endian::native != std::endian::little) {
        for (const unsigned char c : text)
            step(c);
        return x;
    }
    // A monospaced face gives every byte below 0x7F one pitch: eight bytes at a time, x moves by
    // the bytes between tabs times the pitch and each tab goes to its stop. Eight that hold a byte
    // from 0x7F up go byte by byte on their own advances.
    auto word = [&](uint64_t v, const char* bytes, int count) {
        if (HasHighByte(v)) {
            for (int k = 0; k < count; ++k)
                step(static_cast<unsigned char>(bytes[k]));
            return;
        }
        uint64_t tabs = ZeroBytes(v ^ kTabs);
        if (tabs == 0) {
            x += count * m_pitch;
            return;
        }
        if (x == stop) {
            // Indentation: tabs from a stop and then none, one stop each.
            const uint64_t others = ~tabs & kHigh;
            const int lead = others == 0 ? 8 : std::countr_zero(others) / 8;
            if (lead == 8 || (tabs >> (8 * lead)) == 0) {
                x += lead * m_tabWidth;
                stop = x;
                x += (count - lead) * m_pitch;
                return;
            }
        }
        int at = 0;
        for (; tabs != 0; tabs &= tabs - 1) {
            const int k = std::countr_zero(tabs) / 8;
            x += (k - at) * m_pitch;
            tab();
            at = k + 1;
        }
        x += (count - at) * m_pitch;
    };
    size_t i = 0;
    for (; i + 8 <= size; i += 8)
        word(Load8(p + i), p + i, 8);
    if (const int rest = static_cast<int>(size - i); rest > 0) {
        // The last eight bytes of the text, the ones already measured shifted out.
        word(Load8(p + size - 8) >> (8 * (8 - rest)), p + i, rest);
    }
    return x;
}

} // namespace rux
