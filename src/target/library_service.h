// The library service as the node properties need it: creating a library by name.
#pragma once

#include "h2library.h"
#include "target/service_library.h"

#include <memory>
#include <string>
#include <vector>

namespace rux {

class CLibraryService {
public:
    virtual ~CLibraryService() = default;
    // 1 on success, -1 when the library folder exists, -2 when the file cannot be created; 0 when
    // the service is missing.
    virtual int CreateLibrary(const std::string& name) = 0;
    // The library names for a target kind (0 all, 2 the ZR29, 1 any other drive); 0 and no names
    // when the service is missing.
    virtual int GetAvailableLibraries(std::vector<std::string>& names, int targetKind) {
        (void)targetKind;
        names.clear();
        return 0;
    }
};

// Over libH2Library.so, loaded for each call and released afterwards; the library directory is
// "Libs" in the product directory.
class CH2LibraryService final : public CLibraryService {
public:
    int CreateLibrary(const std::string& name) override;
    int GetAvailableLibraries(std::vector<std::string>& names, int targetKind) override;
};

// The target kind of a program's drive for the library service.
int LibraryTargetKind(const std::string& drive);

// "<product directory>/Libs".
std::string LibraryDirectory();

} // namespace rux
