// What every program view shares: colours and font settings, keywords, options, the overwrite flag
// and the desktop clipboard. The application hands in its own objects; until it does, defaults serve.
#pragma once

#include "shell/option_mgr.h"
#include "shell/setting.h"
#include "qt_colour.h"
#include "shell/theme_colors.h"

#include <QColor>

#include <array>
#include <cstdint>

#include <memory>

namespace rux {

class CClipboard;
class CKeywordTable;

class CViewEnvironment {
public:
    CViewEnvironment();
    ~CViewEnvironment();
    CViewEnvironment(const CViewEnvironment&) = delete;
    CViewEnvironment& operator=(const CViewEnvironment&) = delete;

    // The environment views use when none is named: the application's.
    static CViewEnvironment& Default();

    CSetting& Settings() { return m_settings ? *m_settings : m_ownSettings; }
    COptionMgr& Options() { return m_options ? *m_options : m_ownOptions; }
    const CKeywordTable& Keywords() const { return *m_keywords; }
    CClipboard& Clipboard() { return *m_clipboard; }
    // One overwrite flag for the whole application, switched by the Insert key.
    bool& Overwrite() { return m_overwrite; }

    // The frame's own objects; null goes back to the defaults.
    void UseSettings(CSetting* settings) { m_settings = settings; }
    void UseOptions(COptionMgr* options) { m_options = options; }
    void UseKeywords(const CKeywordTable* keywords);
    void UseClipboard(std::unique_ptr<CClipboard> clipboard);

    // The look the views are drawn in (a theme's colours); the default theme's until the frame sets one.
    void UseLook(const CThemeColors& look) {
        m_look = &look;
        m_inks.fill({});
    }
    const CThemeColors& Look() const { return *m_look; }
    bool DarkLook() const { return m_look->dark; }

    // A colour of the table as it is: for backgrounds (the selection) and for telling colours apart.
    QColor Colour(int number) { return ToQColor(Settings().GetColor(number)); }
    // A colour of the table for text drawn on the view's window, legible in the current look.
    QColor Ink(int number);
    QColor Window() const { return ToQColor(ProgramViewWindow(*m_look)); }
    QColor CaretRow() const { return ToQColor(ProgramViewCaretRow(*m_look)); }

private:
    CSetting m_ownSettings;
    COptionMgr m_ownOptions;
    CSetting* m_settings = nullptr;
    COptionMgr* m_options = nullptr;
    const CKeywordTable* m_keywords;
    std::unique_ptr<CClipboard> m_clipboard;
    bool m_overwrite = false;
    const CThemeColors* m_look = &ThemeColors(2);
    // Every run of text asks for its ink: the last answer per colour number, with the value it was for.
    struct CInk {
        bool valid = false;
        uint32_t value = 0;
        QColor ink;
    };
    std::array<CInk, 16> m_inks{};
};

} // namespace rux
