#include "shell/option_mgr.h"

#include "shell/ini_file.h"
#include "document/string_table.h"

#include <iterator>

namespace rux {

COptionMgr::COptionMgr() {
    struct Def {
        int32_t number;
        const char* key;
        int labelId; // 0: the literal label below
        const char* literal;
        int32_t def;
    };
    // The list order matters: the options dialog shows them in it, and a duplicate
    // number would resolve to the earlier entry.
    static const Def kDefs[] = {
        {OPT_AUTO_INPUT, "AutoInput", IDS_OPT_PROMPT_SYMBOL, nullptr, 1},
        {OPT_FBD_NO_AUTO_CONNECT, "FBDNoAutoConnect", IDS_OPT_AUTO_CONNECTION, nullptr, 1},
        {OPT_FBD_NO_SNAP, "FBDNoSnap", 0, "No Snap", 0},
        {OPT_FBD_GRID, "FBDGrid", IDS_OPT_FBD_GRID, nullptr, 0},
        {OPT_QLD_GRID, "QLDGrid", IDS_OPT_QLD_GRID, nullptr, 0},
        {OPT_SHOW_LD_VALUE, "ShowLDValue", IDS_OPT_SHOW_LD_VALUE, nullptr, 0},
        {OPT_AUTO_INDENT, "AutoIndent", IDS_OPT_AUTO_INDENT, nullptr, 1},
        {OPT_TREE_SORT_ALPHA, "TreeSortAlpha", IDS_OPT_SORT_TREE, nullptr, 0},
        {OPT_TREE_DISPLAY_FB_PARAM, "TreeDisplayFBParam", IDS_OPT_TREE_FB_PARAMS, nullptr, 0},
        {OPT_TREE_DBLCLK_OPEN_DIAG, "TreeDblClkOpenDiag", IDS_OPT_DBLCLK_OPEN_DIAG, nullptr, 0},
        {OPT_SHOW_BUILD_DIAG, "ShowBuildDiag", IDS_OPT_SHOW_BUILD_DIAG, nullptr, 1},
        {OPT_SHOW_LIB_WARNING, "ShowLibWarning", IDS_OPT_LIB_WARNING, nullptr, 1},
        {OPT_DBLCLK_SET_BKP, "DblClkSetBkp", IDS_OPT_DBLCLK_BREAKPOINT, nullptr, 1},
        {OPT_OPEN_TM_ONLINE, "OpenTMOnline", IDS_OPT_OPEN_TM_ONLINE, nullptr, 0},
    };
    m_options.reserve(std::size(kDefs));
    for (const Def& d : kDefs)
        m_options.emplace_back(d.key, d.labelId ? LoadString(d.labelId) : d.literal, d.number, d.def);
}

int32_t COptionMgr::GetOption(int32_t number) const {
    for (const CH2Option& o : m_options)
        if (o.Number() == number) return o.Value();
    return 0;
}

bool COptionMgr::SetOption(int32_t number, int32_t value) {
    for (CH2Option& o : m_options)
        if (o.Number() == number) {
            o.SetValue(value != 0 ? 1 : 0);
            return true;
        }
    return false;
}

void COptionMgr::Load(const CIniFile& ini) {
    for (CH2Option& o : m_options)
        o.SetValue(ini.GetInt(kSection, o.Key(), o.Default()) != 0 ? 1 : 0);
}

void COptionMgr::Save(CIniFile& ini) const {
    for (const CH2Option& o : m_options)
        ini.WriteLong(kSection, o.Key(), o.Value());
}

} // namespace rux
