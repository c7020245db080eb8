// A scratch folder for one test, removed with everything in it afterwards.
#pragma once

#include <string>
#include <string_view>

namespace rux::test {

class CTempDir {
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    const std::string& Path() const { return m_path; }
    std::string Path(std::string_view name) const { return File(name); }
    std::string File(std::string_view name) const { return m_path + "/" + std::string(name); }
    // Writes a file in the folder (making the folders on its path) and returns its path.
    std::string Write(std::string_view name, std::string_view bytes) const;
    // The whole content of any file, empty when it cannot be read.
    static std::string Read(const std::string& path);

private:
    std::string m_path;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, std::string_view bytes);
// A golden file from tests/data.
std::string DataFile(std::string_view name);

} // namespace rux::test
