// The editor's view of the target library: the calls the program document makes.
#pragma once

#include "document/header_record.h"

#include <string>

namespace rux {

struct CTargetTypeInfo {
    bool extendedMemory = false;
    int librarySupport = 0;
    int cloneSupport = 0;
    int fixedPointParamOps = 0;
    std::string displayName;
};

// Core code takes this by reference so tests can hand in a fake. Every call of an
// implementation whose library is missing answers as "did nothing": empty, false or 0.
class CTargetLibrary {
public:
    virtual ~CTargetLibrary() = default;

    virtual std::string GetTypeFromDriveAndTarget(const std::string& drive, const std::string& target) = 0;
    // False when the type information cannot be had.
    virtual bool GetTypeInfos(const std::string& type, CTargetTypeInfo& info) = 0;
    virtual std::string GetTypeDisplayName(const std::string& type) = 0;
    // True when the suite had a record for the program; the header then holds the suite's view.
    virtual bool ReadHeader(const std::string& programPath, CRuxHeader& header) = 0;
    virtual bool UpdateHeader(const std::string& programPath, const CRuxHeader& header) = 0;
    virtual int GetLibrarySupport(const std::string& type) = 0;
    virtual int GetCloneSupport(const std::string& type) = 0;
    virtual int GetFixedPointParamOpsSupport(const std::string& type) = 0;
    virtual int IsValidHalmLiteFile(const std::string& programPath) = 0;
};

// Stands in when no target library is present.
class CNoTargetLibrary final : public CTargetLibrary {
public:
    std::string GetTypeFromDriveAndTarget(const std::string&, const std::string&) override { return {}; }
    bool GetTypeInfos(const std::string&, CTargetTypeInfo&) override { return false; }
    std::string GetTypeDisplayName(const std::string&) override { return {}; }
    bool ReadHeader(const std::string&, CRuxHeader&) override { return false; }
    bool UpdateHeader(const std::string&, const CRuxHeader&) override { return false; }
    int GetLibrarySupport(const std::string&) override { return 0; }
    int GetCloneSupport(const std::string&) override { return 0; }
    int GetFixedPointParamOpsSupport(const std::string&) override { return 0; }
    int IsValidHalmLiteFile(const std::string&) override { return 0; }
};

} // namespace rux
