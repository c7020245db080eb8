#include "import/indexer_fb_form.h"

#include "document/string_table.h"

namespace rux {
namespace {

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

bool CIndexerUDFBForm::IsValidName(std::string_view name) {
    if (name.size() < 2 || name[0] != '_' || !IsLetter(name[1])) return false;
    for (char c : name.substr(2))
        if (!IsLetter(c) && !IsDigit(c)) return false;
    return true;
}

std::string CIndexerUDFBForm::OnOk() const {
    return IsValidName(m_name) ? std::string() : LoadString(IDS_INDEXER_FB_NAME_INVALID);
}

} // namespace rux
