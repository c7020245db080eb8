/* Library service: the function block libraries kept in the library directory. */
#ifndef H2LIBRARY_H
#define H2LIBRARY_H

#include "h2_common.h"

/* Sets the folder that holds the libraries (created on the first library). Non-zero on success. */
H2_API int32_t H2LIBRARY_SetDirectory(const char* directory);
/* Creates a library: 1 on success, -1 when its folder already exists, -2 when the library file
   cannot be created (nothing is left behind then). */
H2_API int32_t H2LIBRARY_CreateLibrary(const char* name);

#endif
