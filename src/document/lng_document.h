// The document of one open diagram window, bound to a diagram item of a program.
#pragma once

#include <cstdint>

#include <functional>
#include <string>

namespace rux {

class CDiag;
class CRUXDocument;

// The diagram view owns the real editing; this document knows the item it writes back into and the
// program it belongs to. Neither is owned.
class CLngDocument {
public:
    CLngDocument() = default;
    ~CLngDocument();
    CLngDocument(const CLngDocument&) = delete;
    CLngDocument& operator=(const CLngDocument&) = delete;

    // Binds to a diagram item of a program and enters this document in the program's list.
    void Bind(CRUXDocument& program, const CDiag& item);
    // Leaves the program's list; the item is left as it is.
    void Unbind();
    CRUXDocument* GetProgram() const { return m_program; }
    const CDiag* GetItem() const { return m_item; }

    // The diagram view hands in how it builds the payload text of its diagram.
    void SetPayloadSource(std::function<std::string()> build) { m_buildPayload = std::move(build); }
    // The diagram view hears of debug mode through this.
    void SetDebugModeHandler(std::function<void(bool)> handler) { m_debugHandler = std::move(handler); }

    // Writes the diagram back into its item; nothing goes to disk. Always succeeds.
    bool SaveDocument();
    bool IsModified() const { return m_modified; }
    void SetModified(bool modified) { m_modified = modified; }

    const std::string& GetTitle() const { return m_title; }
    // Program title without its modified mark, " : ", the diagram's title.
    void UpdateTitle();

    void SetDebugMode(bool on);
    bool IsDebugMode() const { return m_debugMode; }

    // The window closes: the program forgets this document.
    void OnCloseDocument() { Unbind(); }

private:
    CRUXDocument* m_program = nullptr;
    const CDiag* m_item = nullptr;
    uint32_t m_itemId = 0; // the bound item's id: the pointer alone cannot tell a deleted item

    std::function<std::string()> m_buildPayload;
    std::function<void(bool)> m_debugHandler;
    std::string m_title;
    bool m_modified = false;
    bool m_debugMode = false;
};

} // namespace rux
