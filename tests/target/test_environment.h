// Scoped environment variables and scratch folders for tests that touch the product directory.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>

namespace rux::test {

// Sets (or with nullopt, removes) a variable and puts the old value back on destruction.
class CScopedEnv {
public:
    CScopedEnv(const char* name, const std::optional<std::string>& value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
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

class CTempDir {
public:
    CTempDir() {
        std::random_device rd;
        m_path = std::filesystem::temp_directory_path() / ("rux-test-" + std::to_string(rd()));
        std::filesystem::create_directories(m_path);
    }
    ~CTempDir() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    std::string Path(const std::string& name = {}) const {
        return name.empty() ? m_path.string() : (m_path / name).string();
    }

    std::string Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(m_path / name, std::ios::binary) << bytes;
        return Path(name);
    }

private:
    std::filesystem::path m_path;
};

} // namespace rux::test
