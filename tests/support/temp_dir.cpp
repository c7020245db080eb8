#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace rux::test {

CTempDir::CTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "ruxtest.XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    m_path = pattern;
}

CTempDir::~CTempDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

std::string CTempDir::Write(std::string_view name, std::string_view bytes) const {
    const std::string path = File(name);
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    WriteFileBytes(path, bytes);
    return path;
}

std::string CTempDir::Read(const std::string& path) { return ReadFileBytes(path); }

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFileBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string DataFile(std::string_view name) { return std::string(RUX_TEST_DATA_DIR) + "/" + std::string(name); }

} // namespace rux::test
