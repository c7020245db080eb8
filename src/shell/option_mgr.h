// The editor's numbered on/off options, kept in section "Editor" of the settings file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rux {

class CIniFile;

// Option numbers as the rest of the editor asks for them.
enum OptionNumber : int32_t {
    OPT_AUTO_INPUT = 1,
    OPT_FBD_NO_AUTO_CONNECT = 2,
    OPT_FBD_NO_SNAP = 3,
    OPT_QLD_GRID = 4,
    OPT_FBD_GRID = 5,
    OPT_SHOW_LD_VALUE = 6,
    OPT_AUTO_INDENT = 7,
    OPT_TREE_SORT_ALPHA = 8,
    OPT_TREE_DISPLAY_FB_PARAM = 9,
    OPT_SHOW_BUILD_DIAG = 10,
    OPT_SHOW_LIB_WARNING = 11,
    OPT_DBLCLK_SET_BKP = 12,
    OPT_OPEN_TM_ONLINE = 13,
    OPT_TREE_DBLCLK_OPEN_DIAG = 14,
};

class CH2Option {
public:
    CH2Option(std::string key, std::string label, int32_t number, int32_t defaultValue)
        : m_key(std::move(key)), m_label(std::move(label)), m_number(number), m_value(defaultValue),
          m_default(defaultValue) {}

    const std::string& Key() const { return m_key; }
    const std::string& Label() const { return m_label; }
    int32_t Number() const { return m_number; }
    int32_t Value() const { return m_value; }
    int32_t Default() const { return m_default; }
    void SetValue(int32_t value) { m_value = value; }

private:
    std::string m_key;
    std::string m_label;
    int32_t m_number;
    int32_t m_value;
    int32_t m_default;
};

class COptionMgr {
public:
    static constexpr const char* kSection = "Editor";

    // The fourteen options in their listed order, each at its default.
    COptionMgr();

    const std::vector<CH2Option>& Options() const { return m_options; }
    // The value of the first option with that number; 0 for a number that names no option.
    int32_t GetOption(int32_t number) const;
    // Changes the first option with that number; returns false when there is none. Values are kept
    // as 0 or 1, since every caller tests them as on/off.
    bool SetOption(int32_t number, int32_t value);
    bool Toggle(int32_t number) { return SetOption(number, GetOption(number) ? 0 : 1); }

    // An absent key leaves the option at its default.
    void Load(const CIniFile& ini);
    void Save(CIniFile& ini) const;

private:
    std::vector<CH2Option> m_options;
};

} // namespace rux
