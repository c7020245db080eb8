// Scoped environment variables for tests that touch the product directory or the user's folders.
#pragma once

#include "support/temp_dir.h"

#include <cstdlib>
#include <optional>
#include <string>

namespace rux::test {

// Sets (or with nullptr / nullopt, removes) a variable and puts the old value back on destruction.
class CScopedEnv {
public:
    CScopedEnv(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    CScopedEnv(const char* name, const std::string& value) : CScopedEnv(name, value.c_str()) {}
    CScopedEnv(const char* name, const std::optional<std::string>& value)
        : CScopedEnv(name, value ? value->c_str() : nullptr) {}
    ~CScopedEnv() {
        if (m_old)
            ::setenv(m_name.c_str(), m_old->c_str(), 1);
        else
            ::unsetenv(m_name.c_str());
    }
    CScopedEnv(const CScopedEnv&) = delete;
    CScopedEnv& operator=(const CScopedEnv&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

} // namespace rux::test
