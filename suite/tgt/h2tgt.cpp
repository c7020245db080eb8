// Entry points of the target library.
#include "h2tgt.h"

#include "light_edition.h"
#include "node_file.h"
#include "target_data.h"

#include <algorithm>
#include <cstring>
#include <string>

using rux::tgt::CTargetType;
using rux::tgt::CurrentTargetTable;

namespace {

// Copies text into a caller's buffer. A buffer too small for the whole text gets an empty text, so a
// caller never acts on a clipped type name.
H2STATUS CopyOut(const std::string& text, char* buffer, int32_t size) {
    if (buffer == nullptr || size <= 0) return H2_ERR_BAD_ARGUMENT;
    if (text.size() >= size_t(size)) {
        buffer[0] = '\0';
        return H2_ERR_BAD_ARGUMENT;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return text.empty() ? H2_ERR_NOT_FOUND : H2_OK;
}

std::string Text(const char* s) {
    return s == nullptr ? std::string() : std::string(s);
}

} // namespace

H2_API H2STATUS H2TGT_GetTypeFromDriveAndTarget(const char* drive, const char* target, char* type,
                                                int32_t typeSize) try {
    return CopyOut(CurrentTargetTable()->TypeFromDriveAndTarget(Text(drive), Text(target)), type, typeSize);
} catch (...) {
    return H2_ERR_INTERNAL;
}

H2_API H2STATUS H2TGT_GetTypeInfos(const char* type, H2TYPEINFO* info) try {
    if (info == nullptr || info->cbSize < int32_t(sizeof(H2TYPEINFO))) return H2_ERR_BAD_ARGUMENT;
    const auto table = CurrentTargetTable();
    const CTargetType* t = table->FindType(Text(type));
    if (t == nullptr) return H2_ERR_NOT_FOUND;
    info->ExtendedMemory = t->extendedMemory ? 1 : 0;
    info->LibrarySupport = t->librarySupport;
    info->CloneSupport = t->cloneSupport;
    info->FixedPointParamOps = t->fixedPointParamOps;
    info->MaxTasks = int32_t(t->tasks.size());
    const size_t n = std::min(t->displayName.size(), sizeof info->DisplayName - 1);
    std::memcpy(info->DisplayName, t->displayName.data(), n);
    info->DisplayName[n] = '\0';
    return H2_OK;
} catch (...) {
    return H2_ERR_INTERNAL;
}

H2_API H2STATUS H2TGT_GetTypeDisplayName(const char* type, char* name, int32_t nameSize) try {
    const auto table = CurrentTargetTable();
    const CTargetType* t = table->FindType(Text(type));
    return CopyOut(t != nullptr ? t->displayName : std::string(), name, nameSize);
} catch (...) {
    return H2_ERR_INTERNAL;
}

H2_API H2STATUS H2TGT_ReadHeader(const char* programPath, RUXHEADERINFO* header) try {
    if (programPath == nullptr || *programPath == '\0' || header == nullptr) return H2_ERR_BAD_ARGUMENT;
    return rux::tgt::ReadNodeFile(rux::tgt::NodeFilePath(programPath), *header);
} catch (...) {
    return H2_ERR_INTERNAL;
}

H2_API H2STATUS H2TGT_UpdateHeader(const char* programPath, const RUXHEADERINFO* header) try {
    if (programPath == nullptr || *programPath == '\0' || header == nullptr) return H2_ERR_BAD_ARGUMENT;
    return rux::tgt::WriteNodeFile(rux::tgt::NodeFilePath(programPath), *header);
} catch (...) {
    return H2_ERR_INTERNAL;
}

H2_API int32_t H2TGT_GetLibrarySupport(const char* type) try {
    const auto table = CurrentTargetTable();
    const CTargetType* t = table->FindType(Text(type));
    return t != nullptr ? t->librarySupport : 0;
} catch (...) {
    return 0;
}

H2_API int32_t H2TGT_GetCloneSupport(const char* type) try {
    const auto table = CurrentTargetTable();
    const CTargetType* t = table->FindType(Text(type));
    return t != nullptr ? t->cloneSupport : 0;
} catch (...) {
    return 0;
}

H2_API int32_t H2TGT_GetFixedPointParamOpsSupport(const char* type) try {
    const auto table = CurrentTargetTable();
    const CTargetType* t = table->FindType(Text(type));
    return t != nullptr ? t->fixedPointParamOps : 0;
} catch (...) {
    return 0;
}

H2_API int32_t H2TGT_IsValidHalmLiteFile(const char* programPath) try {
    return programPath != nullptr && rux::tgt::IsLightEditionFile(programPath) ? 1 : 0;
} catch (...) {
    return 0;
}

H2_API int32_t H2TGT_GetTaskIDFromTaskName(const char* type, const char* taskName) try {
    return CurrentTargetTable()->TaskId(Text(type), Text(taskName));
} catch (...) {
    return -1;
}

H2_API H2STATUS H2TGT_GetTaskNameFromTaskID(const char* type, int32_t taskId, char* name, int32_t nameSize) try {
    return CopyOut(CurrentTargetTable()->TaskName(Text(type), taskId), name, nameSize);
} catch (...) {
    return H2_ERR_INTERNAL;
}
