#include "view/view_environment.h"

#include "editor/clipboard.h"
#include "editor/keyword_table.h"
#include "view/qt_clipboard.h"

namespace rux {

CViewEnvironment::CViewEnvironment()
    : m_keywords(&LoadKeywordTable()), m_clipboard(std::make_unique<CQtClipboard>()) {}

CViewEnvironment::~CViewEnvironment() = default;

CViewEnvironment& CViewEnvironment::Default() {
    static CViewEnvironment environment;
    return environment;
}

void CViewEnvironment::UseKeywords(const CKeywordTable* keywords) {
    m_keywords = keywords ? keywords : &LoadKeywordTable();
}

void CViewEnvironment::UseClipboard(std::unique_ptr<CClipboard> clipboard) {
    m_clipboard = clipboard ? std::move(clipboard) : std::make_unique<CQtClipboard>();
}

QColor CViewEnvironment::Ink(int number) {
    const uint32_t value = Settings().GetColor(number);
    if (number < 0 || number >= static_cast<int>(m_inks.size()))
        return ToQColor(ProgramViewInk(RgbOf(value), *m_look));
    CInk& slot = m_inks[static_cast<size_t>(number)];
    if (!slot.valid || slot.value != value) {
        slot = {true, value, ToQColor(ProgramViewInk(RgbOf(value), *m_look))};
    }
    return slot.ink;
}

} // namespace rux
