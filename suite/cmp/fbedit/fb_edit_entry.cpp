// The compiler library's entry for the function block header dialog.
#include "fb_header_dialog.h"
#include "h2cmp.h"

H2_API int32_t H2Cmp_FbEditEx(H2HWND parent, char* header, int32_t capability, int32_t maxParamIn,
                              int32_t maxParamOut) try {
    return rux::RunFbHeaderDialog(parent, header, capability, maxParamIn, maxParamOut);
} catch (...) {
    return 0;
}
