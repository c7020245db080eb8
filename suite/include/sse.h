/* Shared-message service: numbered messages between the suite's tools, with a file name beside each. */
#ifndef SSE_H
#define SSE_H

#include "h2_common.h"

/* Size of the buffer of SSEGetErrorLineData, terminating zero included. */
#define SSE_ERRORLINE 512
/* The longest SSESendMessage waits for a receipt. */
#define SSE_RECEIPT_WAIT_MS 500

/* How a registered tool receives a message: its number, the file name and the line data that came
   with it (both valid until the callback returns; empty texts when none came). Called on the
   service's own thread, one message at a time and in the order they were accepted. */
typedef void (*SSEMESSAGEPROC)(int32_t message, const char* fileName, const char* lineData, void* context);

/* Stores the file path that travels with the next message, and keeps it in the user's shared record
   for the getters of every process of the user. Non-zero when both are done. */
H2_API int32_t SSEPutFileName(const char* path);
/* Copies a file path into buffer (H2_MAX_PATH bytes): inside a tool's callback, on its thread, the
   one that came with the message being handled (non-zero); anywhere else the one last put by any
   process of the user (non-zero once one was put; zero, with the buffer emptied, before). */
H2_API int32_t SSEGetFileName(char* buffer, int32_t bufferSize);
/* Copies "line;start;end" of the error the suite wants shown into buffer (SSE_ERRORLINE bytes): inside
   a tool's callback the one that came with the message being handled, anywhere else the one last
   put by any process of the user. Non-zero when the text is not empty. */
H2_API int32_t SSEGetErrorLineData(char* buffer, int32_t bufferSize);
/* Sends the message to the named tool ("Z2ADAZ", "H2WATCHAPP", ...). Non-zero when delivered: the
   tool has the message and will hand it to its callback. Waits for the tool's receipt at most
   SSE_RECEIPT_WAIT_MS milliseconds; a tool that does not answer within it gets nothing. */
H2_API int32_t SSESendMessage(const char* tool, int32_t message);
/* Tells the other tools that the sender (its window class, "RUX2EDIT" for the editor) changed the
   theme, so they reread it. */
H2_API void SSEThemeChanged(const char* windowClass);
/* Non-zero when builds are to stop on warnings. */
H2_API int32_t SSE_WarningStopBuild(void);
/* Opens the watch window for the programs of programDir on the node (NULL: no node). Non-zero on
   success. */
H2_API int32_t SSEOpenWatchWindow(const char* programDir, const char* node);
/* Adds one watch entry to the open watch window. Non-zero on success. */
H2_API int32_t SSEAddVarToWW(const char* entry);
/* Opens the library manager on the named library. Non-zero on success. */
H2_API int32_t SSEOpenLibManager(const char* libraryName);

/* Registers a tool under its name so that messages sent to that name reach callback with context.
   A second registration of the same name replaces the first. Non-zero on success. */
H2_API int32_t SSERegisterTool(const char* name, SSEMESSAGEPROC callback, void* context);
/* Removes the tool's registration. The messages it already accepted still reach the callback; once
   it returns, the callback is no longer called. From inside the tool's own callback neither this
   nor a new SSERegisterTool of its name has any effect. */
H2_API void SSEUnregisterTool(const char* name);
/* Stores "line;start;end" to travel with the next message (empty: none), and keeps it in the user's
   shared record as SSEPutFileName does. Non-zero when both are done. */
H2_API int32_t SSEPutErrorLineData(const char* lineData);

#endif
