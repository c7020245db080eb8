/* Printing of the suite's tools: lays out and prints a program the editor has written to a file. */
#ifndef H2PRN_H
#define H2PRN_H

#include "h2_common.h"

/* Prints the program in printFile (program file format) under title; owner is a QWidget* or NULL.
   When the editor had a selection it wrote it beside printFile as H2PrnSel.t, which the library
   finds by that name. Non-zero when something was printed. */
H2_API int32_t PrnPrintRUX(const char* printFile, const char* title, H2HWND owner);

#endif
