#include "target/print_library.h"

#include "target/service_library.h"

#include "h2prn.h"

namespace rux {

bool PrintWithLibrary(const std::string& printFile, const std::string& title, void* owner,
                      const std::string& directory) {
    CServiceLibrary library("H2Prn", directory);
    auto* print = library.Entry<decltype(::PrnPrintRUX)>("PrnPrintRUX");
    if (!print) return false;
    print(printFile.c_str(), title.c_str(), owner);
    return true;
}

} // namespace rux
