/* Node loader library: the identification and diagnostic dialogs of a drive node. */
#ifndef H2LOAD_H
#define H2LOAD_H

#include "h2_common.h"

/* Shows the identification of the node. online: non-zero while the program view is online;
   reserved: 0. Non-zero when the user asked for the diagnostic next. */
H2_API int32_t H2LOAD_IdentifyNode(H2HWND view, int32_t online, int32_t reserved, const char* programDir,
                                   const char* node);
/* As H2LOAD_IdentifyNode, for target types that need the type named (HARRIER). */
H2_API int32_t H2LOAD_IdentifyNode2(H2HWND view, int32_t online, int32_t reserved, const char* programDir,
                                    const char* node, const char* type);

/* Shows the diagnostic of the node. programName: no directory, no extension; taskManagerState: the
   task manager's state for the view; flag: 1 from the editor. Non-zero when the user asked for the
   identification next. */
H2_API int32_t H2LOAD_DiagnosticNode(H2HWND mainWindow, const char* node, const char* programName,
                                     int32_t taskManagerState, int32_t flag, const char* type);
/* As H2LOAD_DiagnosticNode without the type; used for HARRIER. */
H2_API int32_t H2LOAD_DiagnosticNode2(H2HWND mainWindow, const char* node, const char* programName,
                                      int32_t taskManagerState, int32_t flag);

/* The identification of the node as text, one "Label: value" line each (node address, target
   type, drive firmware, program name, program identifier, image size, embedded source, program
   state, tasks), written into buffer (bufferSize bytes, cut to fit). type may be NULL. 0 on
   success; H2_ERR_NO_COMMUNICATION when the node cannot be reached. */
H2_API H2STATUS H2LOAD_GetNodeIdentity(const char* node, const char* type, char* buffer, int32_t bufferSize);

#endif
