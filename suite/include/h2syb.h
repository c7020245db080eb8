/* Symbol library: addresses and types of a compiled program's symbols on a node. */
#ifndef H2SYB_H
#define H2SYB_H

#include "h2_common.h"

/* Kinds of value a symbol holds: 1, 2 and 4 are reals, 3 an integer. */
#define H2SYB_TYPE_REAL 1
#define H2SYB_TYPE_FLOAT 2 /* single-precision real */
#define H2SYB_TYPE_INTEGER 3
#define H2SYB_TYPE_LREAL 4

/* Where a symbol lives on the node. */
typedef struct _s_H2SybObjAddr {
    uint32_t Address;
    uint16_t Type; /* one of H2SYB_TYPE_ */
    uint16_t Bit;  /* 1 when the symbol is a single bit (a parameter bit #m.pp.b) */
} H2SYBOBJADDR;

/* Addresses of drive parameters: this flag, the menu in bits 16..23, the parameter in bits 8..15
   and a bit number in bits 0..7. Program variables have addresses below it. */
#define H2SYB_PARAMETER 0x80000000u

/* Opens the symbol files of the programs in directory ("." for the current one). Non-zero on success. */
H2_API int32_t H2SYB_Open(const char* directory);
/* Loads the node database script (the editor passes "HALM2.NAD"). Non-zero on success. */
H2_API int32_t H2SYB_LoadScript(const char* script);
/* 1 when the symbol exists for the node; the record then holds its address and type. */
H2_API int32_t H2SYB_GetObjAddr(const char* symbol, const char* node, H2SYBOBJADDR* record);

#endif
