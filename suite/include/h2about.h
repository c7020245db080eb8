/* About box of the suite's tools. */
#ifndef H2ABOUT_H
#define H2ABOUT_H

#include "h2_common.h"

/* Shows the about box of the named module over owner (a QWidget*, may be NULL); systemControl is the
   suite's system-control flag, shown in the box when set. */
H2_API void H2AboutEx(H2HWND owner, const char* module, int32_t systemControl);

#endif
