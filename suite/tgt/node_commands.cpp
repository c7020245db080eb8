// Operations on a drive node. They travel through the communications library, which owns the one
// connection to the drive; without that library no node can be reached.
#include "h2drive.h"
#include "h2tgt.h"
#include "messages.h"
#include "target_data.h"

#include "fileio/safe_file.h"
#include "fileio/whole_file.h"

#include <dlfcn.h>

#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string>

namespace {

using NodeCallFn = decltype(&H2_NodeCall);
using NodeClientCallFn = decltype(&H2_NodeClientCall);
using FreeDetailFn = decltype(&H2_FreeDetail);

struct CComApi {
    NodeCallFn call = nullptr;
    NodeClientCallFn clientCall = nullptr;
    FreeDetailFn freeDetail = nullptr;
};

// Loaded once and kept: the library holds the connection and its I/O thread for the process.
const CComApi& ComApi() {
    static CComApi api;
    static std::once_flag once;
    std::call_once(once, [] {
        const std::string path = rux::tgt::DataDirectory() + "/libHm2ComApi.so";
        void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL);
        if (h == nullptr) h = dlopen("libHm2ComApi.so", RTLD_NOW | RTLD_GLOBAL);
        if (h == nullptr) return;
        api.call = reinterpret_cast<NodeCallFn>(dlsym(h, "H2_NodeCall"));
        api.clientCall = reinterpret_cast<NodeClientCallFn>(dlsym(h, "H2_NodeClientCall"));
        api.freeDetail = reinterpret_cast<FreeDetailFn>(dlsym(h, "H2_FreeDetail"));
        if (api.call == nullptr || api.clientCall == nullptr || api.freeDetail == nullptr) api = CComApi{};
    });
    return api;
}

const char* Safe(const char* s) {
    return s == nullptr ? "" : s;
}

H2STATUS Call(const char* node, const char* type, rux::drive::ERequest request, const std::string& args,
              std::string* detail = nullptr) {
    const CComApi& api = ComApi();
    if (api.call == nullptr) return H2_ERR_NO_COMMUNICATION;
    if (node == nullptr || *node == '\0') return H2_ERR_BAD_ARGUMENT;
    char* d = nullptr;
    int32_t size = 0;
    const H2STATUS st = api.call(node, Safe(type), request, args.data(), static_cast<int32_t>(args.size()),
                                 detail != nullptr ? &d : nullptr, &size, 0);
    if (d != nullptr) {
        if (detail != nullptr) detail->assign(d, static_cast<std::size_t>(size));
        api.freeDetail(d);
    }
    return st;
}

H2STATUS Control(const char* node, rux::drive::EControl control, int32_t task = 0) {
    rux::drive::CPayloadWriter w;
    w.I32(control).I32(task);
    return Call(node, "", rux::drive::kReqControl, w.Data());
}

H2STATUS ClientControl(H2CLIENT client, const char* node, rux::drive::EControl control, int32_t taskId) {
    const CComApi& api = ComApi();
    if (api.clientCall == nullptr) return H2_ERR_NO_COMMUNICATION;
    // The task manager numbers tasks from 1.
    rux::drive::CPayloadWriter w;
    w.I32(control).I32(taskId - 1);
    return api.clientCall(client, Safe(node), "", rux::drive::kReqControl, w.Data().data(),
                          static_cast<int32_t>(w.Data().size()), 0);
}

} // namespace

H2_API H2STATUS H2TGT_Download(H2HWND, int32_t, const char* type, const char* node, const char* compiledPath,
                               int32_t* outValue) try {
    if (outValue != nullptr) *outValue = 0;
    const rux::CFileBytes image = rux::ReadWholeFile(Safe(compiledPath));
    if (!image) return H2_ERR_IO;
    rux::drive::CPayloadWriter w;
    w.Blob(image.bytes).Str(std::filesystem::path(Safe(compiledPath)).stem().string());
    return Call(node, type, rux::drive::kReqDownload, w.Data());
} catch (...) {
    return H2_ERR_INTERNAL;
}

H2_API H2STATUS H2TGT_Upload(H2HWND, int32_t, const char* type, const char* node, const char* programPath) try {
    if (programPath == nullptr || *programPath == '\0') return H2_ERR_BAD_ARGUMENT;
    std::string source;
    const H2STATUS st = Call(node, type, rux::drive::kReqUpload, {}, &source);
    if (st != H2_OK) return st;
    // Saved as the editor saves a program: a failed upload keeps the old file, a link is written
    // through, and a file the user may not write is refused.
    return rux::WriteFileSafely(programPath, source) ? H2_OK : H2_ERR_IO;
} catch (...) {
    return H2_ERR_INTERNAL;
}

H2_API H2STATUS H2TGT_ExecuteCommand(H2CLIENT client, const char* node, int32_t command) try {
    const CComApi& api = ComApi();
    if (api.clientCall == nullptr) return H2_ERR_NO_COMMUNICATION;
    rux::drive::CPayloadWriter w;
    w.I32(command);
    return api.clientCall(client, Safe(node), "", rux::drive::kReqCommand, w.Data().data(),
                          static_cast<int32_t>(w.Data().size()), 0);
} catch (...) {
    return H2_ERR_INTERNAL;
}

// A node that cannot be reached is not known to be stopped.
H2_API int32_t H2TGT_IsNodeStopped(const char* node) try {
    rux::drive::CPayloadWriter w;
    w.I32(rux::drive::kCtlIsStopped).I32(0);
    std::string detail;
    return Call(node, "", rux::drive::kReqControl, w.Data(), &detail) == H2_OK && detail == "1" ? 1 : 0;
} catch (...) {
    return 0;
}

H2_API H2STATUS H2TGT_Run(const char* node) try {
    return Control(node, rux::drive::kCtlRun);
} catch (...) {
    return H2_ERR_INTERNAL;
}
H2_API H2STATUS H2TGT_Stop(const char* node) try {
    return Control(node, rux::drive::kCtlStop);
} catch (...) {
    return H2_ERR_INTERNAL;
}
H2_API H2STATUS H2TGT_Pause(const char* node) try {
    return Control(node, rux::drive::kCtlPause);
} catch (...) {
    return H2_ERR_INTERNAL;
}
H2_API H2STATUS H2TGT_Resume(const char* node) try {
    return Control(node, rux::drive::kCtlResume);
} catch (...) {
    return H2_ERR_INTERNAL;
}
H2_API H2STATUS H2TGT_ResetProgram(const char* node) try {
    return Control(node, rux::drive::kCtlResetProgram);
} catch (...) {
    return H2_ERR_INTERNAL;
}
H2_API H2STATUS H2TGT_ResetDrive(const char* node) try {
    return Control(node, rux::drive::kCtlResetDrive);
} catch (...) {
    return H2_ERR_INTERNAL;
}

H2_API H2STATUS H2TGT_StepTask(H2CLIENT client, const char* node, int32_t taskId) try {
    return ClientControl(client, node, rux::drive::kCtlStep, taskId);
} catch (...) {
    return H2_ERR_INTERNAL;
}
H2_API H2STATUS H2TGT_StepOnTask(H2CLIENT client, const char* node, int32_t taskId) try {
    return ClientControl(client, node, rux::drive::kCtlStepOn, taskId);
} catch (...) {
    return H2_ERR_INTERNAL;
}
H2_API H2STATUS H2TGT_StepOffTask(H2CLIENT client, const char* node, int32_t taskId) try {
    return ClientControl(client, node, rux::drive::kCtlStepOff, taskId);
} catch (...) {
    return H2_ERR_INTERNAL;
}
