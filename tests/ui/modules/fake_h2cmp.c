/* A stand-in compiler library for the editor's build tests. It reports the arguments it was given,
   then waits until the file "<program>.go" appears (at most five seconds) before its last line, so
   that a test can see the first lines arrive while the compile still runs. Built twice: with the
   delivery entry, and without it (FAKE_NO_DELIVER), when its lines exist only in the error file. */
#include "h2cmp.h"

#include <stdio.h>
#include <string.h>
#include <time.h>

#ifndef FAKE_NO_DELIVER
static H2CMPDELIVERPROC g_deliver;

H2_API void H2Cmp_SetDeliverProc(H2CMPDELIVERPROC proc) {
    g_deliver = proc;
}
#endif

static void Say(FILE* err, H2HWND bar, const char* line) {
    if (err) fprintf(err, "%s\n", line);
#ifndef FAKE_NO_DELIVER
    if (g_deliver) g_deliver(bar, line);
#else
    (void)bar;
#endif
}

static int Exists(const char* path) {
    FILE* f = fopen(path, "rb");
    if (!f) return 0;
    fclose(f);
    return 1;
}

H2_API int32_t H2Cmp_Compile(const char* programPath, int32_t warningFlag, H2HWND buildBar,
                             int32_t systemControlFlag) {
    char errPath[1024], goPath[1024], line[256];
    const char* dot = strrchr(programPath, '.');
    const size_t stem = dot ? (size_t)(dot - programPath) : strlen(programPath);
    if (stem + 8 > sizeof errPath) return 0;
    snprintf(errPath, sizeof errPath, "%.*s.ERR", (int)stem, programPath);
    snprintf(goPath, sizeof goPath, "%s.go", programPath);
    FILE* err = fopen(errPath, "wb");
    snprintf(line, sizeof line, "fake.rux(1,2-5): error E1: warning flag %d, system control %d",
             (int)warningFlag, (int)systemControlFlag);
    Say(err, buildBar, line);
    if (err) fflush(err);
    for (int i = 0; i < 500 && !Exists(goPath); ++i) {
        struct timespec ten = {0, 10 * 1000 * 1000};
        nanosleep(&ten, NULL);
    }
    Say(err, buildBar, "fake.rux(3): warning W1: second");
    Say(err, buildBar, "1 error(s), 1 warning(s)");
    if (err) fclose(err);
    return systemControlFlag == 5 ? 1 : 0;
}
