// The target types the library knows, read from targets.ini in the product directory.
#pragma once

#include "ini_text.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rux::tgt {

struct CTargetType {
    std::string id;
    std::string displayName;
    bool extendedMemory = false;
    int32_t librarySupport = 0;
    int32_t cloneSupport = 0;
    int32_t fixedPointParamOps = 0;
    std::vector<std::string> tasks; // index = task id
};

// Maps a drive model and an option-module identifier to a type. A pattern is "*" (anything), a prefix
// ending in "*" or an exact identifier, all compared without case.
struct CTypeRule {
    std::string drive;
    std::string target;
    std::string type;
};

class CTargetTable {
public:
    // [Types] lists the types as Type1, Type2, ... up to the first missing key; each has a section of
    // its own name. [DriveTargets] lists Rule1, Rule2, ... as "drive,target,type"; the first rule that
    // matches wins. A rule naming a type not listed is dropped, so every answer is a known type.
    static CTargetTable Parse(std::string_view text) {
        const CIniText ini = CIniText::Parse(text);
        CTargetTable table;
        for (int n = 1;; ++n) {
            const std::string id = ini.Get("Types", "Type" + std::to_string(n));
            if (id.empty()) break;
            if (table.FindType(id) != nullptr) continue; // first listing wins
            CTargetType t;
            t.id = id;
            t.displayName = ini.Get(id, "DisplayName");
            t.extendedMemory = ToInt(ini.Get(id, "ExtendedMemory")) != 0;
            t.librarySupport = ToInt(ini.Get(id, "LibrarySupport"));
            t.cloneSupport = ToInt(ini.Get(id, "CloneSupport"));
            t.fixedPointParamOps = ToInt(ini.Get(id, "FixedPointParamOps"));
            t.tasks = SplitList(ini.Get(id, "Tasks"));
            table.m_types.push_back(std::move(t));
        }
        for (int n = 1;; ++n) {
            const std::string* rule = ini.Find("DriveTargets", "Rule" + std::to_string(n));
            if (rule == nullptr) break;
            std::vector<std::string> parts = SplitList(*rule, true);
            if (parts.size() != 3 || table.FindType(parts[2]) == nullptr) continue;
            table.m_rules.push_back({parts[0], parts[1], table.FindType(parts[2])->id});
        }
        return table;
    }

    const CTargetType* FindType(std::string_view id) const {
        if (id.empty()) return nullptr;
        for (const CTargetType& t : m_types)
            if (EqualNoCase(t.id, id)) return &t;
        return nullptr;
    }

    // Empty when no rule matches.
    std::string TypeFromDriveAndTarget(std::string_view drive, std::string_view target) const {
        for (const CTypeRule& r : m_rules)
            if (Matches(r.drive, drive) && Matches(r.target, target)) return r.type;
        return {};
    }

    // -1 when the type or the task is unknown.
    int32_t TaskId(std::string_view type, std::string_view name) const {
        const CTargetType* t = FindType(type);
        if (t == nullptr) return -1;
        for (size_t i = 0; i < t->tasks.size(); ++i)
            if (EqualNoCase(t->tasks[i], name)) return int32_t(i);
        return -1;
    }

    std::string TaskName(std::string_view type, int32_t id) const {
        const CTargetType* t = FindType(type);
        if (t == nullptr || id < 0 || size_t(id) >= t->tasks.size()) return {};
        return t->tasks[size_t(id)];
    }

    const std::vector<CTargetType>& Types() const { return m_types; }
    const std::vector<CTypeRule>& Rules() const { return m_rules; }

    static bool Matches(std::string_view pattern, std::string_view value) {
        if (pattern == "*") return true;
        if (!pattern.empty() && pattern.back() == '*') {
            pattern.remove_suffix(1);
            return value.size() >= pattern.size() && EqualNoCase(value.substr(0, pattern.size()), pattern);
        }
        return EqualNoCase(pattern, value);
    }

private:
    // The profile files' one decimal conversion: unreadable text is 0, out-of-range values saturate.
    static int32_t ToInt(std::string_view s) { return ini::ParseInt(s); }

    // Comma-separated, entries trimmed; empty entries are dropped unless keepEmpty.
    static std::vector<std::string> SplitList(std::string_view s, bool keepEmpty = false) {
        std::vector<std::string> out;
        while (true) {
            const size_t comma = s.find(',');
            const std::string_view item = Trim(s.substr(0, comma));
            if (!item.empty() || keepEmpty) out.emplace_back(item);
            if (comma == std::string_view::npos) break;
            s.remove_prefix(comma + 1);
        }
        return out;
    }

    std::vector<CTargetType> m_types;
    std::vector<CTypeRule> m_rules;
};

} // namespace rux::tgt
