// What every program view shares: colours and font settings, keywords, options, the overwrite flag
// and the desktop clipboard. The application hands in its own objects; until it does, defaults serve.
#pragma once

#include "shell/option_mgr.h"
#include "shell/setting.h"

#include <QColor>

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

    QColor Colour(int number) { return ToQColor(Settings().GetColor(number)); }
    static QColor ToQColor(uint32_t colourRef) {
        return QColor(static_cast<int>(colourRef & 0xFF), static_cast<int>((colourRef >> 8) & 0xFF),
                      static_cast<int>((colourRef >> 16) & 0xFF));
    }

private:
    CSetting m_ownSettings;
    COptionMgr m_ownOptions;
    CSetting* m_settings = nullptr;
    COptionMgr* m_options = nullptr;
    const CKeywordTable* m_keywords;
    std::unique_ptr<CClipboard> m_clipboard;
    bool m_overwrite = false;
};

} // namespace rux
