/* Common definitions of the tool suite's C interfaces. */
#ifndef H2_COMMON_H
#define H2_COMMON_H

#include <stdint.h>

#ifdef __cplusplus
#define H2_EXTERN_C extern "C"
#else
#define H2_EXTERN_C
#endif

#define H2_API H2_EXTERN_C __attribute__((visibility("default")))

/* Results of target operations: 0 is success, anything else a status word. */
typedef int32_t H2STATUS;

#define H2_OK 0
#define H2_ERR_NOT_FOUND 0x1010001
#define H2_ERR_BAD_ARGUMENT 0x1010002
#define H2_ERR_IO 0x1010003
#define H2_ERR_NO_COMMUNICATION 0x1040006
#define H2_ERR_ABANDONED 0x2010001
/* The library failed inside itself (out of memory, a callback that threw). No exception leaves an
   entry point: each answers this status, or the failure value its declaration names. */
#define H2_ERR_INTERNAL 0x1010004

/* Opaque window handle passed through to libraries that show dialogs. */
typedef void* H2HWND;

/* Handle of a communications client (see hm2comapi.h); the target library's node commands take it. */
typedef void* H2CLIENT;

/* Text buffers that hold a file path, terminating zero included. */
#define H2_MAX_PATH 260

#endif
