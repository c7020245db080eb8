/* File chooser of the suite: picks a RUX program to open, or a file to insert into one. */
#ifndef H2RUXVIEW_H
#define H2RUXVIEW_H

#include "h2_common.h"

/* Shows the chooser over owner (a QWidget*, may be NULL). path is a buffer of H2_MAX_PATH bytes; with
   mode 0 it may hold "-i " and a document path, whose folder the chooser starts in. On return the
   chosen path is in path; *value is 1 when the user ticked "Open as read-only" (mode 1 only), else 0.
   Mode 1 lists RUX programs (plain text allowed), mode 0 any file. Non-zero when a file was chosen. */
H2_API int32_t H2FileOpen(H2HWND owner, char* path, int32_t* value, int32_t mode);

#endif
