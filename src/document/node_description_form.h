// The Node description dialog without the window: the text being edited and its length rule.
#pragma once

#include <cstddef>
#include <string>

namespace rux {

class CNodeDescriptionForm {
public:
    // A description holds at most this many characters. The text is stored with LF line ends, so
    // a line break counts as one character.
    static constexpr size_t kLimit = 1024;

    enum class EOkResult {
        Accepted, // close; store the text unless the form is read-only
        AskToClip // the text is too long: ask, then Clip() and close on Yes, keep editing on No
    };

    CNodeDescriptionForm(std::string text, bool readOnly) : m_text(std::move(text)), m_readOnly(readOnly) {}

    bool IsReadOnly() const { return m_readOnly; }
    const std::string& Text() const { return m_text; }
    // Refused (false) for a read-only form. CR LF and lone CR become LF.
    bool SetText(std::string text);

    // A read-only form is never asked about its length: OK only closes it.
    EOkResult OnOk() const;
    // Cuts the text to its first kLimit characters.
    void Clip();

private:
    std::string m_text;
    bool m_readOnly;
};

} // namespace rux
