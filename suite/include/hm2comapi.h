/* Communications library: clients that exchange requests and answers with drive nodes. */
#ifndef HM2COMAPI_H
#define HM2COMAPI_H

#include "h2_common.h"

/* The notification message posted to a client's window for every answer. */
#define H2_MSG_ANSWER 2024

/* Sizes of the H2_GetErrorInfo buffers and of the H2_ReleaseLoop buffer, terminating zero included. */
#define H2_ERRTITLE 99
#define H2_ERRTEXT 254
#define H2_LOOPBUFFER 256

/* Statuses an answer can carry besides H2_OK and H2_ERR_NO_COMMUNICATION. */
#define H2_ERR_OUT_OF_RANGE 0x104000D
#define H2_ERR_VALUE_OUT_OF_RANGE 0x1050005
#define H2_ERR_READ_ONLY 0x1050003

/* Kinds of answer. */
#define H2_ANS_CONNECTED 2      /* a diagram client is connected */
#define H2_ANS_IDENTITY 5       /* with SubKind 7: the program identity of the node */
#define H2_ANS_STATUS 9         /* connection established; for the task manager the node status */
#define H2_ANS_WRITTEN 31       /* a write acknowledged */
#define H2_ANS_VALUE 32         /* a value read */
#define H2_ANS_STEP 52          /* step position, Text holds it */
#define H2_ANS_STEP_ACTIVATE 53 /* as H2_ANS_STEP, and the view is to be activated */
#define H2_ANS_LOG 54           /* Text holds a line for the log */
#define H2_ANS_BREAKPOINTS 60   /* the breakpoints of task TaskId */
#define H2_ANS_CLIENT_STATE 61  /* Value holds the client's new state */

#define H2_MAX_TASKS 32
#define H2_BREAKPOINT_SLOTS 8
#define H2_SYMBOL 256
#define H2_ANSWERTEXT 512

/* One answer, read with H2_AnswerGet. Fields a kind does not use are zero. */
typedef struct _s_H2Answer {
    H2STATUS Status; /* 0 good; H2_ERR_NO_COMMUNICATION; H2_ERR_OUT_OF_RANGE, H2_ERR_VALUE_OUT_OF_RANGE,
                        H2_ERR_READ_ONLY for a refused write */
    int32_t Kind;    /* one of H2_ANS_ */
    int32_t SubKind;
    double Value;           /* value read or written */
    char Symbol[H2_SYMBOL]; /* name of the symbol the value belongs to */
    int32_t ProgramState;   /* status answer: run state, negative = run-time error -ProgramState */
    int32_t CpuFree;        /* status answer: free processor time in percent, negative when unknown */
    int32_t TaskCount;      /* status answer: entries used in TaskState */
    int32_t TaskState[H2_MAX_TASKS];          /* by task id */
    int32_t TaskId;                           /* task of a step position or breakpoint list */
    int32_t Position;                         /* step position in task TaskId; -1 when none */
    int32_t EmbeddedSource;                   /* identity answer: the node holds the program's source */
    uint32_t ProgramId;                       /* identity answer: identifier of the program on the node */
    int32_t Breakpoints[H2_BREAKPOINT_SLOTS]; /* breakpoint list of task TaskId, 0 = free slot */
    char Text[H2_ANSWERTEXT];                 /* step position or log text */
} H2ANSWER;

/* The breakpoints the editor wants set on a node, by task. */
typedef struct _s_H2BreakPointTable {
    int32_t TaskCount;
    int32_t Slots[H2_MAX_TASKS][H2_BREAKPOINT_SLOTS]; /* positions within each task, 0 = free */
} H2BREAKPOINTTABLE;

/* How the library delivers a notification to a window: the UI supplies it and turns each call into
   an event for that window. Called on the library's I/O thread. */
typedef void (*H2NOTIFYPROC)(H2HWND window, uint32_t message, uintptr_t wParam, intptr_t lParam);

/* Installs the process-wide delivery function; without one, notifications are dropped. */
H2_API void H2_SetNotifyProc(H2NOTIFYPROC proc);

/* Creates a client whose answers are announced to window as message (H2_MSG_ANSWER). context
   receives the library's per-client data. 0 on success. */
H2_API H2STATUS H2_RegisterClient(H2CLIENT* client, void** context, H2HWND window, uint32_t message);
/* Ends the client; no notification for it is delivered after it returns. */
H2_API H2STATUS H2_UnregisterClient(H2CLIENT client);
/* Starts a polling loop that reads symbol on the node every periodMs (100 from the editor); values
   arrive as H2_ANS_VALUE answers. loop receives its id; outValue, when not NULL, a detail. 0 on success. */
H2_API H2STATUS H2_CreateLoop(H2CLIENT client, int32_t* loop, const char* node, const char* symbol,
                              int32_t periodMs, int32_t* outValue);
/* Stops a polling loop; buffer (H2_LOOPBUFFER bytes) receives the loop's last text. 0 on success. */
H2_API H2STATUS H2_ReleaseLoop(H2CLIENT client, int32_t loop, char* buffer, int32_t bufferSize);
/* Writes valueText to symbol on the node; request receives the request's id and the answer arrives
   as H2_ANS_WRITTEN. 0 when the request went out. */
H2_API H2STATUS H2_Write(H2CLIENT client, int32_t* request, const char* node, const char* symbol,
                         const char* valueText, int32_t* outValue);
/* Reads the answer that the notification with wParam/lParam announced. 0 when an answer was read. */
H2_API H2STATUS H2_AnswerGet(H2CLIENT client, uintptr_t wParam, intptr_t lParam, H2ANSWER* answer);
/* Texts for a status: title (H2_ERRTITLE bytes) and detail (H2_ERRTEXT bytes). *silent set: show
   nothing. *showBox clear: the title goes to the log; set: a message box shows the title, or both
   texts joined when the detail is not empty. 0 on success. */
H2_API H2STATUS H2_GetErrorInfo(H2STATUS status, char* title, char* text, int32_t* silent, int32_t* showBox);
/* Ends the library's server side; every client is gone afterwards. */
H2_API void H2_KillServer(void);
/* Sends the client's breakpoint table to the node. reserved: 0. 0 when the request went out. */
H2_API H2STATUS H2_SetBreakPoint(H2CLIENT client, int32_t reserved, const char* node,
                                 const H2BREAKPOINTTABLE* table);
/* Asks the node for its breakpoint lists; they arrive as H2_ANS_BREAKPOINTS. reserved: 0. */
H2_API H2STATUS H2_GetBreakPoints(H2CLIENT client, int32_t reserved, const char* node);

#endif
