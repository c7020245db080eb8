/* Library service: the function block libraries kept in the library directory. */
#ifndef H2LIBRARY_H
#define H2LIBRARY_H

#include "h2_common.h"

/* Sets the folder that holds the libraries (created on the first library). Non-zero on success. */
H2_API int32_t H2LIBRARY_SetDirectory(const char* directory);
/* Creates a library: 1 on success, -1 when its folder already exists, -2 when the library file
   cannot be created (nothing is left behind then). */
H2_API int32_t H2LIBRARY_CreateLibrary(const char* name);

/* Receives one library name of H2LIBRARY_GetAvailableLibraries. */
typedef void (*H2LIBRARY_NameCallback)(void* context, const char* name);
/* Lists the libraries of the library directory for a target kind (0 all, 1 the ordinary drives,
   2 the ZR29): `add` is called once per name, in name order. Returns the number of names; 0 when
   the listing failed. */
H2_API int32_t H2LIBRARY_GetAvailableLibraries(H2LIBRARY_NameCallback add, void* context, int32_t targetKind);

#endif
