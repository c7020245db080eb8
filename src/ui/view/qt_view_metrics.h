// The program view's measuring context: the view font's advances, tab stops and the scroll state.
#pragma once

#include "document/view_metrics.h"

#include <QFont>
#include <QRawFont>

#include <array>

namespace rux {

struct CFontDesc;

// The settings' face names that mean the classic monospaced face map to a metric-compatible one.
QFont MakeViewFont(const CFontDesc& desc);

class CQtViewMetrics final : public CViewMetrics {
public:
    static constexpr int kMinLineHeight = 16;

    CQtViewMetrics();
    CQtViewMetrics(const QFont& font, int tabSize);

    // Recomputes line height, advances and the tab width (tabSize spaces).
    void SetFont(const QFont& font, int tabSize);
    const QFont& Font() const { return m_font; }
    int Ascent() const { return m_ascent; }
    int TabWidth() const { return m_tabWidth; }
    int Advance(unsigned char c) const { return m_advance[c]; }
    // Text is drawn glyph by glyph at the positions these advances give, so that what is painted
    // and where the caret and the mouse land always agree. 0 means the font has no glyph.
    const QRawFont& RawFont() const { return m_raw; }
    quint32 Glyph(unsigned char c) const { return m_glyph[c]; }
    // x after `text` drawn from x0, tab stops counted from `lineStart`.
    // ASCII text of a monospaced face is measured by its length, not byte by byte.
    bool IsMonospaced() const { return m_pitch > 0; }
    int Advance(std::string_view text, int x0, int lineStart) const;

    int LineHeight() const override { return m_lineHeight; }
    int TextWidth(std::string_view text) const override { return Advance(text, 0, 0); }
    int ClientWidth() const override { return m_clientWidth; }
    int ClientHeight() const override { return m_clientHeight; }
    int ScrollX() const override { return m_scrollX; }
    int ScrollY() const override { return m_scrollY; }
    void SetScroll(int x, int y) override {
        m_scrollX = x;
        m_scrollY = y;
    }
    void SetClientSize(int width, int height) {
        m_clientWidth = width;
        m_clientHeight = height;
    }

private:
    QFont m_font;
    bool m_measured = false;
    int m_lineHeight = kMinLineHeight;
    int m_ascent = 12;
    int m_tabWidth = 16;
    int m_pitch = 0; // the one advance of every ASCII byte in a monospaced face, 0 for a proportional one
    std::array<int, 256> m_advance{};
    QRawFont m_raw;
    std::array<quint32, 256> m_glyph{};
    int m_clientWidth = 0;
    int m_clientHeight = 0;
    int m_scrollX = 0;
    int m_scrollY = 0;
};

} // namespace rux
