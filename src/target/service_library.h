// One of the suite's service libraries, loaded by its suite name and released with this object.
#pragma once

#include <string>
#include <string_view>

namespace rux {

class CServiceLibrary {
public:
    // Loads "lib<name>.so" from directory (the product directory when empty), then through the plain
    // library search. A name that already ends in ".so" or holds ".so." is taken as the file name.
    // Failing to load is not an error: the object then resolves nothing.
    explicit CServiceLibrary(std::string_view suiteName, const std::string& directory = {});
    ~CServiceLibrary();

    CServiceLibrary(const CServiceLibrary&) = delete;
    CServiceLibrary& operator=(const CServiceLibrary&) = delete;

    bool IsLoaded() const { return m_handle != nullptr; }
    // The file that was loaded; empty when none.
    const std::string& Path() const { return m_path; }

    // Null when the library or the entry is missing.
    void* Resolve(const char* entry) const;

    template <class F> F* Entry(const char* entry) const { return reinterpret_cast<F*>(Resolve(entry)); }

    // "H2Tgt" -> "libH2Tgt.so"; a name given as "H2Tgt.dll" means the same library.
    static std::string FileNameFor(std::string_view suiteName);

private:
    void* m_handle = nullptr;
    std::string m_path;
};

} // namespace rux
