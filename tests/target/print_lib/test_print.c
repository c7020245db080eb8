/* A print library for the tests (the suite ships none): it prints nothing and leaves beside the
   print file a record of what the editor handed it, "printed.txt" holding the title and the print
   file's path on two lines. */
#include "h2prn.h"

#include <stdio.h>
#include <string.h>

int32_t PrnPrintRUX(const char* printFile, const char* title, H2HWND owner) {
    (void)owner;
    char record[4096];
    const char* slash = strrchr(printFile, '/');
    const size_t dir = slash ? (size_t)(slash - printFile) : 0;
    if (dir + 16 >= sizeof record) return 0;
    memcpy(record, printFile, dir);
    strcpy(record + dir, dir ? "/printed.txt" : "printed.txt");
    FILE* out = fopen(record, "wb");
    if (!out) return 0;
    fprintf(out, "%s\n%s\n", title, printFile);
    fclose(out);
    return 1;
}
