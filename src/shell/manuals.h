// The Help menu's list of user guides, read from Help/Manuals.ini in the product directory.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace rux {

class CIniFile;

class H2_CManuals {
public:
    static constexpr int kFirstId = 6101;
    static constexpr int kLastId = 6150;
    static constexpr int kMaxItems = kLastId - kFirstId + 1;

    struct Item {
        int id;
        std::string menuName;
        std::string fileName;
    };

    // Opens a document or address the way the desktop does ("open" action) and answers as the
    // platform call does: a result of 32 or less is a failure.
    using Opener = std::function<int(const std::string& target)>;

    // Reads section "Manuals" of helpDir/Manuals.ini: keys "0", "1", ... name the sections of the
    // items; the list stops at the first empty or missing value, or when the 50 ids are used up.
    void Load(const std::string& helpDir);
    void Load(const CIniFile& manualsIni, const std::string& helpDir);

    const std::vector<Item>& Items() const { return m_items; }
    const Item* FindItem(int id) const;
    static bool IsManualCommand(int id) { return id >= kFirstId && id <= kLastId; }

    // An address beginning with "http" in any case stands as it is; anything else is a file in the
    // help directory.
    std::string Target(std::string_view fileName) const;
    // Opens the item; on failure returns false and sets the text to show (information icon).
    bool Open(int id, const Opener& opener, std::string& errorText) const;
    static std::string FailureText(std::string_view fileName);

private:
    std::string m_helpDir;
    std::vector<Item> m_items;
};

} // namespace rux
