// The target library as the program document sees it, over the suite's libH2Tgt.so.
#pragma once

#include "h2tgt.h"
#include "target/service_library.h"
#include "target/target_library.h"

#include <memory>

namespace rux {

class CH2TgtLibrary final : public CTargetLibrary {
public:
    // Takes the loaded library; entries it lacks answer "did nothing".
    explicit CH2TgtLibrary(std::unique_ptr<CServiceLibrary> library);

    std::string GetTypeFromDriveAndTarget(const std::string& drive, const std::string& target) override;
    bool GetTypeInfos(const std::string& type, CTargetTypeInfo& info) override;
    std::string GetTypeDisplayName(const std::string& type) override;
    bool ReadHeader(const std::string& programPath, CRuxHeader& header) override;
    bool UpdateHeader(const std::string& programPath, const CRuxHeader& header) override;
    int GetLibrarySupport(const std::string& type) override;
    int GetCloneSupport(const std::string& type) override;
    int GetFixedPointParamOpsSupport(const std::string& type) override;
    int IsValidHalmLiteFile(const std::string& programPath) override;

private:
    // The entry's type comes from the declaration in h2tgt.h, so a changed signature fails to compile.
    template <class F> void Bind(F*& slot, const char* name) { slot = m_library->Entry<F>(name); }

    std::unique_ptr<CServiceLibrary> m_library;
    decltype(&::H2TGT_GetTypeFromDriveAndTarget) m_getTypeFromDriveAndTarget = nullptr;
    decltype(&::H2TGT_GetTypeInfos) m_getTypeInfos = nullptr;
    decltype(&::H2TGT_GetTypeDisplayName) m_getTypeDisplayName = nullptr;
    decltype(&::H2TGT_ReadHeader) m_readHeader = nullptr;
    decltype(&::H2TGT_UpdateHeader) m_updateHeader = nullptr;
    decltype(&::H2TGT_GetLibrarySupport) m_getLibrarySupport = nullptr;
    decltype(&::H2TGT_GetCloneSupport) m_getCloneSupport = nullptr;
    decltype(&::H2TGT_GetFixedPointParamOpsSupport) m_getFixedPointParamOpsSupport = nullptr;
    decltype(&::H2TGT_IsValidHalmLiteFile) m_isValidHalmLiteFile = nullptr;
};

// The suite's target library from the product directory, or CNoTargetLibrary when it cannot be loaded.
std::unique_ptr<CTargetLibrary> CreateTargetLibrary();

} // namespace rux
