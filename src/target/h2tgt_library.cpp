#include "target/h2tgt_library.h"

#include <vector>

namespace rux {
namespace {

// Longest type name or display name we ask for; the library answers empty rather than clipped.
constexpr int32_t kNameBuffer = 256;

std::string CallForText(auto* entry, const auto&... args) {
    if (entry == nullptr) return {};
    std::vector<char> buffer(kNameBuffer, '\0');
    if (entry(args..., buffer.data(), kNameBuffer) != H2_OK) return {};
    return std::string(buffer.data());
}

} // namespace

CH2TgtLibrary::CH2TgtLibrary(std::unique_ptr<CServiceLibrary> library) : m_library(std::move(library)) {
    if (!m_library) return;
    Bind(m_getTypeFromDriveAndTarget, "H2TGT_GetTypeFromDriveAndTarget");
    Bind(m_getTypeInfos, "H2TGT_GetTypeInfos");
    Bind(m_getTypeDisplayName, "H2TGT_GetTypeDisplayName");
    Bind(m_readHeader, "H2TGT_ReadHeader");
    Bind(m_updateHeader, "H2TGT_UpdateHeader");
    Bind(m_getLibrarySupport, "H2TGT_GetLibrarySupport");
    Bind(m_getCloneSupport, "H2TGT_GetCloneSupport");
    Bind(m_getFixedPointParamOpsSupport, "H2TGT_GetFixedPointParamOpsSupport");
    Bind(m_isValidHalmLiteFile, "H2TGT_IsValidHalmLiteFile");
}

std::string CH2TgtLibrary::GetTypeFromDriveAndTarget(const std::string& drive, const std::string& target) {
    return CallForText(m_getTypeFromDriveAndTarget, drive.c_str(), target.c_str());
}

bool CH2TgtLibrary::GetTypeInfos(const std::string& type, CTargetTypeInfo& info) {
    if (m_getTypeInfos == nullptr) return false;
    H2TYPEINFO record{};
    record.cbSize = sizeof record;
    if (m_getTypeInfos(type.c_str(), &record) != H2_OK) return false;
    record.DisplayName[sizeof record.DisplayName - 1] = '\0';
    info.extendedMemory = record.ExtendedMemory != 0;
    info.librarySupport = record.LibrarySupport;
    info.cloneSupport = record.CloneSupport;
    info.fixedPointParamOps = record.FixedPointParamOps;
    info.displayName = record.DisplayName;
    return true;
}

std::string CH2TgtLibrary::GetTypeDisplayName(const std::string& type) {
    return CallForText(m_getTypeDisplayName, type.c_str());
}

bool CH2TgtLibrary::ReadHeader(const std::string& programPath, CRuxHeader& header) {
    if (m_readHeader == nullptr) return false;
    // The record is some 30 KB: keep it off the stack. It starts as our header, so fields the
    // library does not keep come back unchanged.
    auto record = std::make_unique<RUXHEADERINFO>();
    header.ToRecord(*record);
    if (m_readHeader(programPath.c_str(), record.get()) != H2_OK) return false;
    header.FromRecord(*record);
    return true;
}

bool CH2TgtLibrary::UpdateHeader(const std::string& programPath, const CRuxHeader& header) {
    if (m_updateHeader == nullptr) return false;
    auto record = std::make_unique<RUXHEADERINFO>();
    header.ToRecord(*record);
    return m_updateHeader(programPath.c_str(), record.get()) == H2_OK;
}

int CH2TgtLibrary::GetLibrarySupport(const std::string& type) {
    return m_getLibrarySupport != nullptr ? m_getLibrarySupport(type.c_str()) : 0;
}

int CH2TgtLibrary::GetCloneSupport(const std::string& type) {
    return m_getCloneSupport != nullptr ? m_getCloneSupport(type.c_str()) : 0;
}

int CH2TgtLibrary::GetFixedPointParamOpsSupport(const std::string& type) {
    return m_getFixedPointParamOpsSupport != nullptr ? m_getFixedPointParamOpsSupport(type.c_str()) : 0;
}

int CH2TgtLibrary::IsValidHalmLiteFile(const std::string& programPath) {
    return m_isValidHalmLiteFile != nullptr ? m_isValidHalmLiteFile(programPath.c_str()) : 0;
}

std::unique_ptr<CTargetLibrary> CreateTargetLibrary() {
    auto library = std::make_unique<CServiceLibrary>("H2Tgt");
    if (!library->IsLoaded()) return std::make_unique<CNoTargetLibrary>();
    return std::make_unique<CH2TgtLibrary>(std::move(library));
}

} // namespace rux
