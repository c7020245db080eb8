// The node loader: what a drive node says about itself. The identification and diagnostic
// dialogs themselves belong to the editor's online work; until then they show nothing and never
// ask for the other dialog.
#include "h2drive.h"
#include "h2load.h"
#include "messages.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::string LibraryDir() {
    if (const char* home = std::getenv("RUXEDIT_HOME"); home != nullptr && *home != '\0') return home;
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&H2LOAD_GetNodeIdentity), &info) != 0 && info.dli_fname != nullptr)
        return std::filesystem::path(info.dli_fname).parent_path().string();
    return ".";
}

} // namespace

H2_API H2STATUS H2LOAD_GetNodeIdentity(const char* node, const char* type, char* buffer, int32_t bufferSize) try {
    if (buffer == nullptr || bufferSize <= 0) return H2_ERR_BAD_ARGUMENT;
    buffer[0] = '\0';
    if (node == nullptr || *node == '\0') return H2_ERR_BAD_ARGUMENT;
    // Kept loaded: the communications library holds the process's connection to the drive.
    void* lib = dlopen((LibraryDir() + "/libHm2ComApi.so").c_str(), RTLD_NOW | RTLD_GLOBAL);
    if (lib == nullptr) return H2_ERR_NO_COMMUNICATION;
    auto call = reinterpret_cast<decltype(&H2_NodeCall)>(dlsym(lib, "H2_NodeCall"));
    auto release = reinterpret_cast<decltype(&H2_FreeDetail)>(dlsym(lib, "H2_FreeDetail"));
    if (call == nullptr || release == nullptr) return H2_ERR_NO_COMMUNICATION;
    char* detail = nullptr;
    int32_t size = 0;
    const H2STATUS st = call(node, type == nullptr ? "" : type, rux::drive::kReqIdentify, nullptr, 0, &detail, &size, 0);
    const std::string data = detail == nullptr ? std::string() : std::string(detail, static_cast<std::size_t>(size));
    release(detail);
    if (st != H2_OK) return st;
    rux::drive::CPayloadReader r(data);
    const std::string firmware = r.Str();
    const std::string nodeType = r.Str();
    const uint32_t id = r.U32();
    const uint32_t imageSize = r.U32();
    const int32_t source = r.I32();
    const int32_t state = r.I32();
    const std::string tasks = r.Str();
    const std::string program = r.Str();
    const std::string address = r.Str();
    if (!r.Done()) return H2_ERR_IO;
    const std::string stateText = state < 0 ? "run-time error " + std::to_string(-state) : state == 1 ? "running" : "stopped";
    std::snprintf(buffer, static_cast<std::size_t>(bufferSize),
                  "Node address: %s\nTarget type: %s\nDrive firmware: %s\nProgram: %s\nProgram identifier: 0x%08X\n"
                  "Image size: %u bytes\nEmbedded source: %s\nProgram state: %s\nTasks: %s\n",
                  address.c_str(), nodeType.empty() ? "(none)" : nodeType.c_str(), firmware.c_str(),
                  imageSize == 0 ? "(none)" : program.c_str(), id, imageSize, source != 0 ? "yes" : "no",
                  imageSize == 0 ? "no program" : stateText.c_str(), tasks.c_str());
    return H2_OK;
} catch (...) {
    return H2_ERR_INTERNAL;
}

H2_API int32_t H2LOAD_IdentifyNode(H2HWND, int32_t, int32_t, const char*, const char*) {
    return 0;
}

H2_API int32_t H2LOAD_IdentifyNode2(H2HWND, int32_t, int32_t, const char*, const char*, const char*) {
    return 0;
}

H2_API int32_t H2LOAD_DiagnosticNode(H2HWND, const char*, const char*, int32_t, int32_t, const char*) {
    return 0;
}

H2_API int32_t H2LOAD_DiagnosticNode2(H2HWND, const char*, const char*, int32_t, int32_t) {
    return 0;
}
