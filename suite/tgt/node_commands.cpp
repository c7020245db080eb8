// Operations that need a drive node. Until the simulated node exists, no node is ever reachable, so
// each answers as a real library does when the network is down: no communication, nothing done.
#include "h2tgt.h"

H2_API H2STATUS H2TGT_Download(H2HWND, int32_t, const char*, const char*, const char*, int32_t* outValue) {
    if (outValue != nullptr) *outValue = 0;
    return H2_ERR_NO_COMMUNICATION;
}

H2_API H2STATUS H2TGT_Upload(H2HWND, int32_t, const char*, const char*, const char*) {
    return H2_ERR_NO_COMMUNICATION;
}

H2_API H2STATUS H2TGT_ExecuteCommand(H2CLIENT, const char*, int32_t) {
    return H2_ERR_NO_COMMUNICATION;
}

// A node that cannot be reached is not known to be stopped.
H2_API int32_t H2TGT_IsNodeStopped(const char*) {
    return 0;
}

H2_API H2STATUS H2TGT_Run(const char*) {
    return H2_ERR_NO_COMMUNICATION;
}
H2_API H2STATUS H2TGT_Stop(const char*) {
    return H2_ERR_NO_COMMUNICATION;
}
H2_API H2STATUS H2TGT_Pause(const char*) {
    return H2_ERR_NO_COMMUNICATION;
}
H2_API H2STATUS H2TGT_Resume(const char*) {
    return H2_ERR_NO_COMMUNICATION;
}
H2_API H2STATUS H2TGT_ResetProgram(const char*) {
    return H2_ERR_NO_COMMUNICATION;
}
H2_API H2STATUS H2TGT_ResetDrive(const char*) {
    return H2_ERR_NO_COMMUNICATION;
}

H2_API H2STATUS H2TGT_StepTask(H2CLIENT, const char*, int32_t) {
    return H2_ERR_NO_COMMUNICATION;
}
H2_API H2STATUS H2TGT_StepOnTask(H2CLIENT, const char*, int32_t) {
    return H2_ERR_NO_COMMUNICATION;
}
H2_API H2STATUS H2TGT_StepOffTask(H2CLIENT, const char*, int32_t) {
    return H2_ERR_NO_COMMUNICATION;
}
