#include "target/library_service.h"

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
