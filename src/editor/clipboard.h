// The clipboard as the edit session sees it: the private program fragment and plain text.
#pragma once

#include <optional>
#include <string>

namespace rux {

// Name under which the private fragment format is registered with the platform.
inline constexpr const char* kPrivateClipboardFormat = "TVED1RUX";

class CClipboard {
public:
    virtual ~CClipboard() = default;
    // Empties the clipboard, then sets the private format, then the plain text.
    virtual void SetData(const std::string& fragment, const std::string& plainText) = 0;
    virtual std::optional<std::string> GetFragment() const = 0;
    virtual std::optional<std::string> GetPlainText() const = 0;
};

// A clipboard of the process's own, for scripts and tests.
class CMemoryClipboard final : public CClipboard {
public:
    void SetData(const std::string& fragment, const std::string& plainText) override {
        m_fragment = fragment;
        m_text = plainText;
    }
    std::optional<std::string> GetFragment() const override { return m_fragment; }
    std::optional<std::string> GetPlainText() const override { return m_text; }
    void SetPlainTextOnly(const std::string& text) {
        m_fragment.reset();
        m_text = text;
    }
    void SetFragmentOnly(const std::string& fragment) {
        m_fragment = fragment;
        m_text.reset();
    }

private:
    std::optional<std::string> m_fragment;
    std::optional<std::string> m_text;
};

} // namespace rux
