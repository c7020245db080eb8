/* Compiler library: builds programs, orders diagram execution and edits function block headers. */
#ifndef H2CMP_H
#define H2CMP_H

#include "h2_common.h"

/* Size of the function block header buffer passed to H2Cmp_FbEditEx, terminating zero included. */
#define H2CMP_FBHEADER 256

/* Receives the build's message lines, one call per line in order, for the build bar window that
   was passed to H2Cmp_Compile. */
typedef void (*H2CMPDELIVERPROC)(H2HWND buildBar, const char* line);

/* Installs the process-wide delivery function (null removes it). Without one the messages are
   only written to the error file. */
H2_API void H2Cmp_SetDeliverProc(H2CMPDELIVERPROC proc);

/* Compiles the program file. warningFlag: 0 stops the build on the first warning, 1 goes on.
   The compiler delivers its messages for buildBar and writes its error file (NAME.ERR) beside the
   program, and without errors also the image NAME.bin and the symbol file NAME.sym.
   systemControlFlag: the suite's system-control setting. Non-zero: built without errors; 0: errors
   (or a warning with warningFlag 0). */
H2_API int32_t H2Cmp_Compile(const char* programPath, int32_t warningFlag, H2HWND buildBar,
                             int32_t systemControlFlag);

/* Works out the execution order of the diagram in diagramPath (the control's diagram text) for the
   target text; writes "Diag.o" beside it, one "[n]" per block. Non-zero on success. Answers 0 until
   the diagram payloads have an executable form. */
H2_API int32_t H2Cmp_CompileOrder(const char* diagramPath, const char* target);

/* Shows the dialog that edits a user-defined function block header. header is a buffer of
   H2CMP_FBHEADER bytes that receives the header text; capability is the target's capability value
   (1 when unknown); maxParamIn and maxParamOut limit the inputs and outputs (256 each by default).
   Non-zero when the user confirmed; header then holds the text. */
H2_API int32_t H2Cmp_FbEditEx(H2HWND parent, char* header, int32_t capability, int32_t maxParamIn,
                              int32_t maxParamOut);

#endif
