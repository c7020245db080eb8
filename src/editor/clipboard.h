// The clipboard as the edit session sees it: the private program fragment and plain text.
#pragma once

#include <map>
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
        m_other.clear();
    }
    std::optional<std::string> GetFragment() const override { return m_fragment; }
    std::optional<std::string> GetPlainText() const override { return m_text; }
    void SetPlainTextOnly(const std::string& text) {
        m_fragment.reset();
        m_text = text;
        m_other.clear();
    }
    void SetFragmentOnly(const std::string& fragment) {
        m_fragment = fragment;
        m_text.reset();
        m_other.clear();
    }
    // Another program's private format, by its registered name, as the only data.
    void SetFormatOnly(const std::string& name, const std::string& bytes) {
        m_fragment.reset();
        m_text.reset();
        m_other = {{name, bytes}};
    }
    std::optional<std::string> GetFormat(const std::string& name) const {
        const auto it = m_other.find(name);
        return it == m_other.end() ? std::nullopt : std::optional<std::string>(it->second);
    }

private:
    std::optional<std::string> m_fragment;
    std::optional<std::string> m_text;
    std::map<std::string, std::string> m_other;
};

} // namespace rux
