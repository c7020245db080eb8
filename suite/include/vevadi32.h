/* File library: facts about the suite's files. */
#ifndef VEVADI32_H
#define VEVADI32_H

#include "h2_common.h"

/* The program identifier of a compiled program image (NAME.bin): the value the node reports for
   the program it runs. 0 when the file cannot be read or is not a valid image. */
H2_API uint32_t RUX_GetFileDescription(const char* path);

#endif
