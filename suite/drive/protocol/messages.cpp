#include "messages.h"

namespace rux::drive {

bool IsRequestType(uint8_t type) {
    return type >= kReqHello && type <= kReqLog;
}

bool IsReplyType(uint8_t type) {
    return type == kRepResult || type == kRepAnswer;
}

std::string EncodeAnswer(const CAnswer& a) {
    CPayloadWriter w;
    w.I32(a.status).I32(a.kind).I32(a.subKind).F64(a.value).Str(a.symbol);
    w.I32(a.programState).I32(a.cpuFree).I32(a.taskCount);
    for (int i = 0; i < a.taskCount && i < kMaxTasks; ++i)
        w.I32(a.taskState[static_cast<std::size_t>(i)]);
    w.I32(a.taskId).I32(a.position).I32(a.embeddedSource).U32(a.programId);
    for (int32_t b : a.breakpoints)
        w.I32(b);
    w.Str(a.text);
    return w.Take();
}

bool DecodeAnswer(std::string_view payload, CAnswer& a) {
    CPayloadReader r(payload);
    a = CAnswer{};
    a.status = r.I32();
    a.kind = r.I32();
    a.subKind = r.I32();
    a.value = r.F64();
    a.symbol = r.Str();
    a.programState = r.I32();
    a.cpuFree = r.I32();
    a.taskCount = r.I32();
    if (!r.Ok() || a.taskCount < 0 || a.taskCount > kMaxTasks) return false;
    for (int i = 0; i < a.taskCount; ++i)
        a.taskState[static_cast<std::size_t>(i)] = r.I32();
    a.taskId = r.I32();
    a.position = r.I32();
    a.embeddedSource = r.I32();
    a.programId = r.U32();
    for (int32_t& b : a.breakpoints)
        b = r.I32();
    a.text = r.Str();
    return r.Done();
}

} // namespace rux::drive
