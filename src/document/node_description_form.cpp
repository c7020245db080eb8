#include "document/node_description_form.h"

namespace rux {

bool CNodeDescriptionForm::SetText(std::string text) {
    if (m_readOnly) return false;
    std::string lf;
    lf.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            lf += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            lf += text[i];
        }
    }
    m_text = std::move(lf);
    return true;
}

CNodeDescriptionForm::EOkResult CNodeDescriptionForm::OnOk() const {
    if (m_readOnly || m_text.size() <= kLimit) return EOkResult::Accepted;
    return EOkResult::AskToClip;
}

void CNodeDescriptionForm::Clip() {
    if (m_text.size() > kLimit) m_text.resize(kLimit);
}

} // namespace rux
