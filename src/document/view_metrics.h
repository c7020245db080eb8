// How the core measures rows: the view hands in a font-backed implementation, tests a fixed pitch.
#pragma once

#include <string_view>

namespace rux {

class CViewMetrics {
public:
    // Text starts right of a fixed strip that holds the margin marks.
    static constexpr int kLeftMargin = 20;

    virtual ~CViewMetrics() = default;

    virtual int LineHeight() const = 0;
    // Width in pixels of a run of text that starts at a tab stop, tabs expanded.
    virtual int TextWidth(std::string_view text) const = 0;
    virtual int ClientWidth() const = 0;
    virtual int ClientHeight() const = 0;
    virtual int ScrollX() const = 0;
    virtual int ScrollY() const = 0;
    // The view scrolls; the next layout and hit test use the new position.
    virtual void SetScroll(int x, int y) = 0;
};

// A monospaced stand-in: every byte is CharWidth() pixels, a tab advances to the next multiple of
// TabSize() characters. Used by tests and by the command line, where every figure must be exact.
class CFixedPitchMetrics : public CViewMetrics {
public:
    explicit CFixedPitchMetrics(int clientWidth = 640, int clientHeight = 480, int tabSize = 2)
        : m_clientWidth(clientWidth), m_clientHeight(clientHeight), m_tabSize(tabSize) {}

    int LineHeight() const override { return m_lineHeight; }
    int TextWidth(std::string_view text) const override;
    int ClientWidth() const override { return m_clientWidth; }
    int ClientHeight() const override { return m_clientHeight; }
    int ScrollX() const override { return m_scrollX; }
    int ScrollY() const override { return m_scrollY; }

    int CharWidth() const { return m_charWidth; }
    int TabSize() const { return m_tabSize; }
    void SetClientSize(int width, int height) {
        m_clientWidth = width;
        m_clientHeight = height;
    }
    void SetScroll(int x, int y) override {
        m_scrollX = x;
        m_scrollY = y;
    }
    void SetTabSize(int tabSize) { m_tabSize = tabSize < 1 ? 1 : tabSize; }
    // Another font's rows: taller or shorter, the characters as wide as before.
    void SetLineHeight(int lineHeight) { m_lineHeight = lineHeight < 1 ? 1 : lineHeight; }

private:
    int m_charWidth = 8;
    int m_lineHeight = 16;
    int m_clientWidth;
    int m_clientHeight;
    int m_tabSize;
    int m_scrollX = 0;
    int m_scrollY = 0;
};

} // namespace rux
