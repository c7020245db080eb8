#include "target/library_service.h"

#include "document/ascii_text.h"
#include "target/product_directory.h"

namespace rux {

std::string LibraryDirectory() {
    return ProductDirectory() + "/Libs";
}

int CH2LibraryService::CreateLibrary(const std::string& name) {
    CServiceLibrary library("H2Library");
    auto* setDirectory = library.Entry<decltype(::H2LIBRARY_SetDirectory)>("H2LIBRARY_SetDirectory");
    auto* createLibrary = library.Entry<decltype(::H2LIBRARY_CreateLibrary)>("H2LIBRARY_CreateLibrary");
    if (!setDirectory || !createLibrary) return 0;
    setDirectory(LibraryDirectory().c_str());
    return createLibrary(name.c_str());
}

} // namespace rux

namespace rux {

int CH2LibraryService::GetAvailableLibraries(std::vector<std::string>& names, int targetKind) {
    names.clear();
    CServiceLibrary library("H2Library");
    auto* setDirectory = library.Entry<decltype(::H2LIBRARY_SetDirectory)>("H2LIBRARY_SetDirectory");
    auto* available = library.Entry<decltype(::H2LIBRARY_GetAvailableLibraries)>("H2LIBRARY_GetAvailableLibraries");
    if (!setDirectory || !available) return 0;
    setDirectory(LibraryDirectory().c_str());
    available([](void* context, const char* name) { static_cast<std::vector<std::string>*>(context)->push_back(name); },
              &names, targetKind);
    return static_cast<int>(names.size());
}

int LibraryTargetKind(const std::string& drive) {
    return EqualsNoCase(drive, "ZR29") ? 2 : 1;
}

} // namespace rux
