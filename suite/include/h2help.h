/* Help of the suite's tools: the user guide in the Help folder of the product directory. */
#ifndef H2HELP_H
#define H2HELP_H

#include "h2_common.h"

/* Each opens the user guide in the desktop's browser; owner is a QWidget* or NULL. Non-zero on success. */
H2_API int32_t HALM2Help_Contents(H2HWND owner);
H2_API int32_t HALM2Help_Index(H2HWND owner);
H2_API int32_t HALM2Help_Search(H2HWND owner);
/* Help on one topic: context is a dialog's or a prompt's help context. The page that
   Help/Topics/Topics.ini names for it opens; a context it does not name opens the guide at its
   anchor "ctx<number>". */
H2_API int32_t HALM2Help_Main(int32_t context, H2HWND owner);

#endif
