// The communications library's C entry points over the one drive link of the process.
#include "drive_link.h"
#include "h2drive.h"
#include "hm2comapi.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>

using rux::comapi::CDriveLink;

namespace {

std::mutex g_linkMutex;
std::unique_ptr<CDriveLink> g_link;
H2NOTIFYPROC g_notify = nullptr;
constexpr int kCallTimeoutMs = 5000;
constexpr int kDownloadTimeoutMs = 30000;
// A write waits this long on the caller's thread for its status, which is then queued when
// H2_Write returns; a slower drive's status comes through the I/O thread like any answer.
constexpr int kWriteReadMs = 50;

CDriveLink& Link() {
    std::lock_guard<std::mutex> lock(g_linkMutex);
    if (!g_link) {
        g_link = std::make_unique<CDriveLink>(rux::comapi::ReadLinkConfig());
        g_link->SetNotify(g_notify);
    }
    return *g_link;
}

CDriveLink* LinkIfAny() {
    std::lock_guard<std::mutex> lock(g_linkMutex);
    return g_link.get();
}

uint32_t Token(H2CLIENT client) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(client));
}

std::string Text(const char* s) {
    return s == nullptr ? std::string() : std::string(s);
}

void Copy(char* out, std::size_t size, const char* text) {
    if (out == nullptr || size == 0) return;
    std::snprintf(out, size, "%s", text);
}

struct CStatusText {
    H2STATUS status;
    const char* title;
    const char* text;
    bool box;
};

// Every status the library and the drive give, with what the user is shown.
const CStatusText kTexts[] = {
    {H2_ERR_NO_COMMUNICATION, "Unable to communicate with the drive",
     "The drive does not answer. Check that it is running and that its address and port are right.", true},
    {H2_ERR_OUT_OF_RANGE, "Parameter out of range", "The drive has no such parameter, or the value does not fit it.", true},
    {H2_ERR_VALUE_OUT_OF_RANGE, "Value out of range",
     "The value written was outside the parameter's minimum and maximum.", true},
    {H2_ERR_READ_ONLY, "Parameter is read-only", "The drive does not accept writes to this parameter.", true},
    {H2_ERR_NOT_FOUND, "Unknown symbol", "The program on the drive has no such symbol, or the item was not found.", true},
    {H2_ERR_BAD_ARGUMENT, "Request refused", "The drive did not accept the request as it was given.", true},
    {H2_ERR_IO, "File error", "A file of the request could not be read or written.", true},
    {0x1060001, "Program refused", "The drive did not accept the program image; build the program again.", true},
    {0x1060002, "No source on the drive", "The program on the drive was built without its source.", true},
    {0x1060003, "No program on the drive", "The drive holds no user program.", true},
};

} // namespace

H2_API void H2_SetNotifyProc(H2NOTIFYPROC proc) try {
    std::lock_guard<std::mutex> lock(g_linkMutex);
    g_notify = proc;
    if (g_link) g_link->SetNotify(proc);
} catch (...) {
}

H2_API H2STATUS H2_RegisterClient(H2CLIENT* client, void** context, H2HWND window, uint32_t message) try {
    if (client == nullptr) return H2_ERR_BAD_ARGUMENT;
    CDriveLink& link = Link();
    const uint32_t token = link.AddClient(window, message);
    *client = reinterpret_cast<H2CLIENT>(static_cast<uintptr_t>(token));
    if (context != nullptr) *context = &link;
    // The first client makes first contact with the drive (starting one when allowed); a drive
    // that cannot be reached is not a failure to register: the client hears of it in its answers.
    link.Call(0, rux::drive::kReqHello, CDriveLink::Prefix({}, {}, token) + std::string("\x01\0\0\0", 4), 2000);
    return H2_OK;
} catch (...) {
    return H2_ERR_INTERNAL;
}

H2_API H2STATUS H2_UnregisterClient(H2CLIENT client) try {
    CDriveLink* link = LinkIfAny();
    return link != nullptr && link->RemoveClient(Token(client)) ? H2_OK : H2_ERR_NOT_FOUND;
} catch (...) {
    return H2_ERR_INTERNAL;
}

H2_API H2STATUS H2_CreateLoop(H2CLIENT client, int32_t* loop, const char* node, const char* symbol, int32_t periodMs,
                              int32_t* outValue) try {
    if (outValue != nullptr) *outValue = 0;
    CDriveLink* link = LinkIfAny();
    if (link == nullptr || !link->HasClient(Token(client))) return H2_ERR_NOT_FOUND;
    if (loop == nullptr || symbol == nullptr || *symbol == '\0') return H2_ERR_BAD_ARGUMENT;
    return link->CreateLoop(Token(client), Text(node), symbol, periodMs, *loop);
} catch (...) {
    return H2_ERR_INTERNAL;
}

H2_API H2STATUS H2_ReleaseLoop(H2CLIENT client, int32_t loop, char* buffer, int32_t bufferSize) try {
    CDriveLink* link = LinkIfAny();
    if (buffer != nullptr && bufferSize > 0) buffer[0] = '\0';
    if (link == nullptr) return H2_ERR_NOT_FOUND;
    std::string last;
    const H2STATUS st = link->ReleaseLoop(Token(client), loop, last);
    if (st == H2_OK && bufferSize > 0) Copy(buffer, static_cast<std::size_t>(bufferSize), last.c_str());
    return st;
} catch (...) {
    return H2_ERR_INTERNAL;
}

H2_API H2STATUS H2_Write(H2CLIENT client, int32_t* request, const char* node, const char* symbol, const char* valueText,
                         int32_t* outValue) try {
    if (outValue != nullptr) *outValue = 0;
    CDriveLink* link = LinkIfAny();
    if (link == nullptr || !link->HasClient(Token(client))) return H2_ERR_NOT_FOUND;
    if (symbol == nullptr || valueText == nullptr) return H2_ERR_BAD_ARGUMENT;
    rux::drive::CPayloadWriter w;
    w.Str(symbol).Str(valueText);
    uint32_t id = 0;
    const H2STATUS st = link->Send(Token(client), rux::drive::kReqWrite,
                                   CDriveLink::Prefix(Text(node), {}, Token(client)) + w.Data(), &id, false, kWriteReadMs);
    if (request != nullptr) *request = static_cast<int32_t>(id);
    return st;
} catch (...) {
    return H2_ERR_INTERNAL;
}

H2_API H2STATUS H2_AnswerGet(H2CLIENT client, uintptr_t, intptr_t, H2ANSWER* answer) try {
    CDriveLink* link = LinkIfAny();
    if (link == nullptr || answer == nullptr) return H2_ERR_NOT_FOUND;
    return link->TakeAnswer(Token(client), *answer) ? H2_OK : H2_ERR_NOT_FOUND;
} catch (...) {
    return H2_ERR_INTERNAL;
}

H2_API H2STATUS H2_GetErrorInfo(H2STATUS status, char* title, char* text, int32_t* silent, int32_t* showBox) try {
    Copy(title, H2_ERRTITLE, "");
    Copy(text, H2_ERRTEXT, "");
    if (silent != nullptr) *silent = 0;
    if (showBox != nullptr) *showBox = 1;
    if (status == H2_OK || status == H2_ERR_ABANDONED) {
        if (silent != nullptr) *silent = 1;
        return H2_OK;
    }
    for (const CStatusText& t : kTexts)
        if (t.status == status) {
            Copy(title, H2_ERRTITLE, t.title);
            Copy(text, H2_ERRTEXT, t.text);
            if (showBox != nullptr) *showBox = t.box ? 1 : 0;
            return H2_OK;
        }
    char buf[H2_ERRTITLE];
    std::snprintf(buf, sizeof buf, "Drive error 0x%X", static_cast<unsigned>(status));
    Copy(title, H2_ERRTITLE, buf);
    Copy(text, H2_ERRTEXT, "The drive reported an error this library does not know.");
    return H2_ERR_NOT_FOUND;
} catch (...) {
    return H2_ERR_INTERNAL;
}

H2_API void H2_KillServer(void) try {
    std::unique_ptr<CDriveLink> link;
    {
        std::lock_guard<std::mutex> lock(g_linkMutex);
        link = std::move(g_link);
    }
} catch (...) {
}

H2_API H2STATUS H2_SetBreakPoint(H2CLIENT client, int32_t, const char* node, const H2BREAKPOINTTABLE* table) try {
    CDriveLink* link = LinkIfAny();
    if (link == nullptr || !link->HasClient(Token(client))) return H2_ERR_NOT_FOUND;
    if (table == nullptr || table->TaskCount < 0 || table->TaskCount > H2_MAX_TASKS) return H2_ERR_BAD_ARGUMENT;
    rux::drive::CPayloadWriter w;
    w.I32(table->TaskCount);
    for (int t = 0; t < table->TaskCount; ++t)
        for (int s = 0; s < H2_BREAKPOINT_SLOTS; ++s)
            w.I32(table->Slots[t][s]);
    return link->Send(Token(client), rux::drive::kReqSetBreaks, CDriveLink::Prefix(Text(node), {}, Token(client)) + w.Data());
} catch (...) {
    return H2_ERR_INTERNAL;
}

H2_API H2STATUS H2_GetBreakPoints(H2CLIENT client, int32_t, const char* node) try {
    CDriveLink* link = LinkIfAny();
    if (link == nullptr || !link->HasClient(Token(client))) return H2_ERR_NOT_FOUND;
    return link->Send(Token(client), rux::drive::kReqGetBreaks, CDriveLink::Prefix(Text(node), {}, Token(client)));
} catch (...) {
    return H2_ERR_INTERNAL;
}

H2_API H2STATUS H2_NodeCall(const char* node, const char* type, int32_t request, const void* args, int32_t argsSize,
                            char** detail, int32_t* detailSize, int32_t timeoutMs) try {
    if (detail != nullptr) *detail = nullptr;
    if (detailSize != nullptr) *detailSize = 0;
    if (argsSize < 0 || (argsSize > 0 && args == nullptr)) return H2_ERR_BAD_ARGUMENT;
    const std::string payload = CDriveLink::Prefix(Text(node), Text(type), 0) +
                                std::string(static_cast<const char*>(args), static_cast<std::size_t>(argsSize));
    const int timeout = timeoutMs > 0 ? timeoutMs : (request == rux::drive::kReqDownload ? kDownloadTimeoutMs : kCallTimeoutMs);
    rux::comapi::CCallResult r = Link().Call(0, static_cast<uint8_t>(request), payload, timeout);
    if (detail != nullptr && !r.detail.empty()) {
        *detail = static_cast<char*>(std::malloc(r.detail.size() + 1));
        if (*detail != nullptr) {
            std::memcpy(*detail, r.detail.data(), r.detail.size());
            (*detail)[r.detail.size()] = '\0';
            if (detailSize != nullptr) *detailSize = static_cast<int32_t>(r.detail.size());
        }
    }
    return r.status;
} catch (...) {
    return H2_ERR_INTERNAL;
}

H2_API H2STATUS H2_NodeClientCall(H2CLIENT client, const char* node, const char* type, int32_t request, const void* args,
                                  int32_t argsSize, int32_t timeoutMs) try {
    CDriveLink* link = LinkIfAny();
    if (link == nullptr || !link->HasClient(Token(client))) return H2_ERR_NOT_FOUND;
    if (argsSize < 0 || (argsSize > 0 && args == nullptr)) return H2_ERR_BAD_ARGUMENT;
    const std::string argText(static_cast<const char*>(args), static_cast<std::size_t>(argsSize));
    const std::string payload = CDriveLink::Prefix(Text(node), Text(type), Token(client)) + argText;
    int32_t command = -1;
    if (request == rux::drive::kReqCommand && argsSize == 4) command = rux::drive::CPayloadReader(argText).I32();
    // A task manager client (command 13) keeps hearing the node's log texts and step positions,
    // also after the connection came back, until command 14 ends it.
    if (command == 14 || command == 13) link->Forget(Token(client), Text(node));
    const rux::comapi::CCallResult r = link->Call(Token(client), static_cast<uint8_t>(request), payload,
                                                  timeoutMs > 0 ? timeoutMs : kCallTimeoutMs, command == 13);
    return r.status;
} catch (...) {
    return H2_ERR_INTERNAL;
}

H2_API void H2_FreeDetail(char* detail) try {
    std::free(detail);
} catch (...) {
}
