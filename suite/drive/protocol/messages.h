// The requests and replies of the drive protocol and the encoding of an answer record.
#ifndef RUX_DRIVE_MESSAGES_H
#define RUX_DRIVE_MESSAGES_H

#include "frame.h"

#include <array>
#include <cstdint>
#include <string>

namespace rux::drive {

// Requests, client to drive. Every request payload starts with the node address and the target
// type (empty when the caller does not know it); the drive answers each with one Result frame of
// the same id, after any Answer frames the request produced.
enum ERequest : uint8_t {
    kReqHello = 0x01,        // u32 client protocol version
    kReqCommand = 0x02,      // i32 command number
    kReqDownload = 0x03,     // blob image, str program name
    kReqUpload = 0x04,       // -
    kReqControl = 0x05,      // i32 control, i32 task id (step controls)
    kReqLoopCreate = 0x06,   // str symbol, i32 period ms
    kReqLoopRelease = 0x07,  // u32 id of the loop's create request
    kReqWrite = 0x08,        // str symbol, str value text
    kReqRead = 0x09,         // str symbol
    kReqSetBreaks = 0x0A,    // i32 task count, then 8 x i32 items per task
    kReqGetBreaks = 0x0B,    // -
    kReqAdvance = 0x0C,      // u32 ms of virtual time
    kReqIdentify = 0x0D,     // -
    kReqLog = 0x0E,          // -
};

// Replies, drive to client.
enum EReply : uint8_t {
    kRepResult = 0x80,  // i32 status, blob detail (request specific, see PROTOCOL.md)
    kRepAnswer = 0x90,  // an answer record (below)
};

bool IsRequestType(uint8_t type);
bool IsReplyType(uint8_t type);

// Program controls of kReqControl.
enum EControl : int32_t {
    kCtlRun = 1,
    kCtlStop = 2,
    kCtlPause = 3,
    kCtlResume = 4,
    kCtlResetProgram = 5,
    kCtlResetDrive = 6,
    kCtlIsStopped = 7,
    kCtlStepOn = 8,
    kCtlStep = 9,
    kCtlStepOff = 10,
};

inline constexpr int kMaxTasks = 32;
inline constexpr int kBreakSlots = 8;

// The answer record as it travels; the library copies it into its callers' answer structure.
struct CAnswer {
    int32_t status = 0;
    int32_t kind = 0;
    int32_t subKind = 0;
    double value = 0.0;
    std::string symbol;
    int32_t programState = 0;
    int32_t cpuFree = 0;
    int32_t taskCount = 0;
    std::array<int32_t, kMaxTasks> taskState{};
    int32_t taskId = 0;
    int32_t position = 0;
    int32_t embeddedSource = 0;
    uint32_t programId = 0;
    std::array<int32_t, kBreakSlots> breakpoints{};
    std::string text;
};

std::string EncodeAnswer(const CAnswer& a);
// false for a payload that is not exactly one answer record.
bool DecodeAnswer(std::string_view payload, CAnswer& a);

} // namespace rux::drive

#endif
