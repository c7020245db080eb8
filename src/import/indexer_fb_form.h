// What the indexer function block's name dialog holds and checks.
#pragma once

#include <string>
#include <string_view>

namespace rux {

inline constexpr const char* kIndexerFbDefaultName = "_FBIndexer";
inline constexpr const char* kIndexerFbHelpTopic = "Indexer_UDFB";

class CIndexerUDFBForm {
public:
    // At least two characters: "_", a letter, then letters and digits.
    static bool IsValidName(std::string_view name);

    const std::string& Name() const { return m_name; }
    void SetName(std::string name) { m_name = std::move(name); }
    // OK pressed: empty when the name is accepted, else the message to show while the dialog
    // stays open.
    std::string OnOk() const;

private:
    std::string m_name = kIndexerFbDefaultName;
};

} // namespace rux
